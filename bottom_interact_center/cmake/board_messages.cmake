# The board's protobuf schemas and the frame codec of the board links.
#   board_messages: C++ classes of proto/robot/*.proto, included as "robot/<name>.pb.h"
#   board_framing:  BoardFrame, FrameAssembler, ReportBuffer and BatteryFrameParser (I/O free)
# Both are installed and exported, so other packages link bottom_interact_center::<target>.

find_package(Protobuf REQUIRED)

set(board_proto_root ${CMAKE_CURRENT_SOURCE_DIR}/proto)
set(board_proto_out ${CMAKE_CURRENT_BINARY_DIR}/proto_gen)
file(GLOB board_proto_files CONFIGURE_DEPENDS ${board_proto_root}/robot/*.proto)

set(board_proto_sources)
set(board_proto_headers)
foreach(proto_file ${board_proto_files})
  get_filename_component(proto_name ${proto_file} NAME_WE)
  set(generated_source ${board_proto_out}/robot/${proto_name}.pb.cc)
  set(generated_header ${board_proto_out}/robot/${proto_name}.pb.h)
  # The import root is proto/, so schemas import each other as "robot/<name>.proto".
  add_custom_command(
    OUTPUT ${generated_source} ${generated_header}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${board_proto_out}
    COMMAND protobuf::protoc --proto_path=${board_proto_root} --cpp_out=${board_proto_out}
      ${proto_file}
    DEPENDS ${proto_file} protobuf::protoc
    COMMENT "Generating C++ classes of robot/${proto_name}.proto"
    VERBATIM)
  list(APPEND board_proto_sources ${generated_source})
  list(APPEND board_proto_headers ${generated_header})
endforeach()

# Shared, so that every binary of a process uses one registration of the message descriptors.
add_library(board_messages SHARED ${board_proto_sources})
target_include_directories(board_messages PUBLIC
  $<BUILD_INTERFACE:${board_proto_out}>
  $<INSTALL_INTERFACE:include/${PROJECT_NAME}>)
target_link_libraries(board_messages PUBLIC protobuf::libprotobuf)
# Generated code is not ours to warn about.
target_compile_options(board_messages PRIVATE -w)

add_library(board_framing SHARED
  src/battery_frame_parser.cpp
  src/board_frame.cpp
  src/frame_assembler.cpp
  src/report_buffer.cpp)
target_include_directories(board_framing PUBLIC
  $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/include>
  $<INSTALL_INTERFACE:include/${PROJECT_NAME}>)
target_link_libraries(board_framing PUBLIC board_messages)

install(FILES ${board_proto_headers} DESTINATION include/${PROJECT_NAME}/robot)
install(FILES
  include/bottom_interact_center/board_frame.hpp
  include/bottom_interact_center/frame_assembler.hpp
  include/bottom_interact_center/report_buffer.hpp
  DESTINATION include/${PROJECT_NAME}/bottom_interact_center)
install(DIRECTORY proto/robot DESTINATION share/${PROJECT_NAME}/proto FILES_MATCHING PATTERN "*.proto")
install(TARGETS board_messages board_framing EXPORT ${PROJECT_NAME}Targets
  LIBRARY DESTINATION lib ARCHIVE DESTINATION lib RUNTIME DESTINATION bin)
