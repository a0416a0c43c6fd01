// The plain RCLCPP_<SEVERITY> logging macros of rclcpp/logging.hpp (Humble), on rcutils logging:
// a logger, then a printf format and its arguments.
#ifndef RCLCPP__LOGGING_HPP_
#define RCLCPP__LOGGING_HPP_

#include <type_traits>

#include "rclcpp/logger.hpp"
#include "rcutils/logging_macros.h"

#define RCLCPP_LITE_LOG_(SEVERITY, logger, ...)                                               \
  do {                                                                                        \
    static_assert(::std::is_same<std::remove_cv_t<std::remove_reference_t<decltype(logger)>>, \
                                 ::rclcpp::Logger>::value,                                    \
                  "First argument to logging macros must be an rclcpp::Logger");              \
    RCUTILS_LOG_##SEVERITY##_NAMED((logger).get_name(), __VA_ARGS__);                         \
  } while (0)

#define RCLCPP_DEBUG(logger, ...) RCLCPP_LITE_LOG_(DEBUG, logger, __VA_ARGS__)
#define RCLCPP_INFO(logger, ...) RCLCPP_LITE_LOG_(INFO, logger, __VA_ARGS__)
#define RCLCPP_WARN(logger, ...) RCLCPP_LITE_LOG_(WARN, logger, __VA_ARGS__)
#define RCLCPP_ERROR(logger, ...) RCLCPP_LITE_LOG_(ERROR, logger, __VA_ARGS__)
#define RCLCPP_FATAL(logger, ...) RCLCPP_LITE_LOG_(FATAL, logger, __VA_ARGS__)

#endif  // RCLCPP__LOGGING_HPP_
