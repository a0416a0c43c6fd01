# Shared by the standard interface packages built for machines without ROS 2.
# In a ROS 2 workspace the real packages (with every type support) must be used instead.
if(NOT Python3_EXECUTABLE AND EXISTS /usr/bin/python3)
  set(Python3_EXECUTABLE /usr/bin/python3 CACHE FILEPATH "Python with the ament and rosidl modules")
endif()
find_package(ament_cmake REQUIRED)
find_package(rosidl_default_generators QUIET)
if(rosidl_default_generators_FOUND)
  message(FATAL_ERROR "${PROJECT_NAME} here is the stand-in for machines without ROS 2, and ROS 2 is "
    "installed: build from the workspace root with 'colcon build --packages-skip $(ls standalone)'.")
endif()
find_package(rosidl_cmake REQUIRED)
find_package(rosidl_generator_c REQUIRED)
find_package(rosidl_generator_cpp REQUIRED)
find_package(rosidl_typesupport_introspection_c REQUIRED)
find_package(rosidl_typesupport_introspection_cpp REQUIRED)
