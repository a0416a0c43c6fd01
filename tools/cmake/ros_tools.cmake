# ROS command-line tools: added with the bottom_operate client and the topic echo.
