"""Starts the bottom_interact_center node with a parameter file.

The package's own file unless another is given:
    ros2 launch bottom_interact_center bottom_interact_center.launch.py params_file:=/path/to.yaml
"""

import os

from ament_index_python.packages import get_package_share_directory
from launch import LaunchDescription
from launch.actions import DeclareLaunchArgument
from launch.substitutions import LaunchConfiguration
from launch_ros.actions import Node


def generate_launch_description():
    default_params = os.path.join(
        get_package_share_directory('bottom_interact_center'),
        'config', 'bottom_interact_center.yaml')
    return LaunchDescription([
        DeclareLaunchArgument(
            'params_file', default_value=default_params,
            description='Parameter file of the node (its key is the node name)'),
        Node(
            package='bottom_interact_center',
            executable='bottom_interact_center',
            name='bottom_interact_center',
            parameters=[LaunchConfiguration('params_file')],
            output='screen',
        ),
    ])
