"""Starts the bottom_interact_center node with the package's parameter file."""

import os

from ament_index_python.packages import get_package_share_directory
from launch import LaunchDescription
from launch_ros.actions import Node


def generate_launch_description():
    params = os.path.join(
        get_package_share_directory('bottom_interact_center'),
        'config', 'bottom_interact_center.yaml')
    return LaunchDescription([
        Node(
            package='bottom_interact_center',
            executable='bottom_interact_center',
            name='bottom_interact_center',
            parameters=[params],
            output='screen',
        ),
    ])
