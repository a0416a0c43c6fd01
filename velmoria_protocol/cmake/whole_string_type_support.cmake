# Fast DDS C++ type support that writes string members with their whole length.
#
# rosidl_typesupport_fastrtps_cpp serializes a `string` member with Fast CDR 1.x's
# serialize(const std::string&), which writes c_str() up to the first zero byte. The
# `robot_info` of RobotInfoUpdate carries serialized protobuf, where zero bytes are common (an
# empty sub-message, a value of 0), so the robot information service would receive it cut short.
# This generates the package's type support from a copy of the installed templates in which a
# string member is written as CDR defines it: its length (bytes + 1), its bytes and a zero byte.
# A string without zero bytes comes out byte for byte as before, and every receiver already
# reads the length it is given, so peers built from any copy of the package understand it.
#
# Call after find_package(rosidl_default_generators), before rosidl_generate_interfaces.
function(velmoria_use_whole_string_type_support)
  if(NOT DEFINED rosidl_typesupport_fastrtps_cpp_TEMPLATE_DIR)
    return()  # no Fast DDS C++ type support is generated (the standalone build)
  endif()
  set(source_dir "${rosidl_typesupport_fastrtps_cpp_TEMPLATE_DIR}")
  set(patched_dir "${CMAKE_CURRENT_BINARY_DIR}/whole_string_fastrtps_cpp_templates")
  file(GLOB templates RELATIVE "${source_dir}" "${source_dir}/*")
  foreach(template IN LISTS templates)
    configure_file("${source_dir}/${template}" "${patched_dir}/${template}" COPYONLY)
  endforeach()

  set(message_template "${patched_dir}/msg__type_support.cpp.em")
  file(READ "${message_template}" text)
  # The branch that writes a plain (not nested) member other than a message.
  set(plain_member_branch
    "@[  elif not isinstance(member.type, NamespacedType)]@\n  cdr << ros_message.@(member.name);\n")
  string(FIND "${text}" "${plain_member_branch}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "velmoria_protocol: the Fast DDS C++ type support template in "
      "${source_dir} has no plain member branch to extend; strings with zero bytes would be "
      "cut. Check its version (written for rosidl_typesupport_fastrtps_cpp 2.2).")
  endif()
  string(CONCAT whole_string_branch
    "@[  elif isinstance(member.type, AbstractGenericString)]@\n"
    "  // The whole string, zero bytes included (Fast CDR's std::string overload stops at the first).\n"
    "  cdr << static_cast<uint32_t>(ros_message.@(member.name).size() + 1);\n"
    "  cdr.serializeArray(ros_message.@(member.name).c_str(), ros_message.@(member.name).size() + 1);\n")
  string(CONCAT extended "${whole_string_branch}" "${plain_member_branch}")
  string(REPLACE "${plain_member_branch}" "${extended}" text "${text}")
  file(WRITE "${message_template}" "${text}")

  set(rosidl_typesupport_fastrtps_cpp_TEMPLATE_DIR "${patched_dir}" PARENT_SCOPE)
endfunction()
