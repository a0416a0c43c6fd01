// The RCLCPP_<SEVERITY> logging macros of rclcpp/logging.hpp (Humble), on rcutils logging.
// Variants: plain (printf format), _ONCE, _EXPRESSION, _SKIPFIRST, _THROTTLE, and the _STREAM form
// (operator<<) of each.
#ifndef RCLCPP__LOGGING_HPP_
#define RCLCPP__LOGGING_HPP_

#include <sstream>
#include <type_traits>

#include "rclcpp/clock.hpp"
#include "rclcpp/logger.hpp"
#include "rcutils/logging_macros.h"

#define RCLCPP_LITE_ASSERT_LOGGER_(logger)                                                         \
  static_assert(::std::is_same<                                                                    \
                    typename std::remove_cv_t<typename std::remove_reference_t<decltype(logger)>>, \
                    typename ::rclcpp::Logger>::value,                                             \
                "First argument to logging macros must be an rclcpp::Logger")

#define RCLCPP_LITE_ASSERT_CLOCK_(clock)                                                        \
  static_assert(                                                                                \
      ::std::is_base_of<::rclcpp::Clock, typename std::remove_cv_t<                             \
                                             std::remove_reference_t<decltype(clock)>>>::value, \
      "Second argument must be a subclass of rclcpp::Clock")

// A function for rcutils' throttle condition that reads `clock`.
#define RCLCPP_LITE_TIME_POINT_GETTER_(clock)                                                   \
  [&c = clock](rcutils_time_point_value_t* time_point) -> rcutils_ret_t {                       \
    try {                                                                                       \
      *time_point = c.now().nanoseconds();                                                      \
    } catch (...) {                                                                             \
      RCUTILS_SAFE_FWRITE_TO_STDERR("[rclcpp|logging.hpp] could not get current time stamp\n"); \
      return RCUTILS_RET_ERROR;                                                                 \
    }                                                                                           \
    return RCUTILS_RET_OK;                                                                      \
  }

#define RCLCPP_LITE_LOG_(SEVERITY, logger, ...)                       \
  do {                                                                \
    RCLCPP_LITE_ASSERT_LOGGER_(logger);                               \
    RCUTILS_LOG_##SEVERITY##_NAMED((logger).get_name(), __VA_ARGS__); \
  } while (0)

#define RCLCPP_LITE_LOG_ONCE_(SEVERITY, logger, ...)                       \
  do {                                                                     \
    RCLCPP_LITE_ASSERT_LOGGER_(logger);                                    \
    RCUTILS_LOG_##SEVERITY##_ONCE_NAMED((logger).get_name(), __VA_ARGS__); \
  } while (0)

#define RCLCPP_LITE_LOG_EXPRESSION_(SEVERITY, logger, expression, ...)                       \
  do {                                                                                       \
    RCLCPP_LITE_ASSERT_LOGGER_(logger);                                                      \
    RCUTILS_LOG_##SEVERITY##_EXPRESSION_NAMED(expression, (logger).get_name(), __VA_ARGS__); \
  } while (0)

#define RCLCPP_LITE_LOG_SKIPFIRST_(SEVERITY, logger, ...)                       \
  do {                                                                          \
    RCLCPP_LITE_ASSERT_LOGGER_(logger);                                         \
    RCUTILS_LOG_##SEVERITY##_SKIPFIRST_NAMED((logger).get_name(), __VA_ARGS__); \
  } while (0)

#define RCLCPP_LITE_LOG_THROTTLE_(SEVERITY, logger, clock, duration, ...)                  \
  do {                                                                                     \
    RCLCPP_LITE_ASSERT_LOGGER_(logger);                                                    \
    RCLCPP_LITE_ASSERT_CLOCK_(clock);                                                      \
    auto get_time_point = RCLCPP_LITE_TIME_POINT_GETTER_(clock);                           \
    RCUTILS_LOG_##SEVERITY##_THROTTLE_NAMED(get_time_point, duration, (logger).get_name(), \
                                            __VA_ARGS__);                                  \
  } while (0)

// The stream variants format with operator<< and log the result with "%s".
#define RCLCPP_LITE_STREAM_(VARIANT, SEVERITY, logger, stream_arg, ...)              \
  do {                                                                               \
    std::stringstream rclcpp_stream_ss_;                                             \
    rclcpp_stream_ss_ << stream_arg;                                                 \
    VARIANT(SEVERITY, logger, ##__VA_ARGS__, "%s", rclcpp_stream_ss_.str().c_str()); \
  } while (0)

#define RCLCPP_DEBUG(logger, ...) RCLCPP_LITE_LOG_(DEBUG, logger, __VA_ARGS__)
#define RCLCPP_INFO(logger, ...) RCLCPP_LITE_LOG_(INFO, logger, __VA_ARGS__)
#define RCLCPP_WARN(logger, ...) RCLCPP_LITE_LOG_(WARN, logger, __VA_ARGS__)
#define RCLCPP_ERROR(logger, ...) RCLCPP_LITE_LOG_(ERROR, logger, __VA_ARGS__)
#define RCLCPP_FATAL(logger, ...) RCLCPP_LITE_LOG_(FATAL, logger, __VA_ARGS__)

#define RCLCPP_DEBUG_ONCE(logger, ...) RCLCPP_LITE_LOG_ONCE_(DEBUG, logger, __VA_ARGS__)
#define RCLCPP_INFO_ONCE(logger, ...) RCLCPP_LITE_LOG_ONCE_(INFO, logger, __VA_ARGS__)
#define RCLCPP_WARN_ONCE(logger, ...) RCLCPP_LITE_LOG_ONCE_(WARN, logger, __VA_ARGS__)
#define RCLCPP_ERROR_ONCE(logger, ...) RCLCPP_LITE_LOG_ONCE_(ERROR, logger, __VA_ARGS__)
#define RCLCPP_FATAL_ONCE(logger, ...) RCLCPP_LITE_LOG_ONCE_(FATAL, logger, __VA_ARGS__)

#define RCLCPP_DEBUG_EXPRESSION(logger, expression, ...) \
  RCLCPP_LITE_LOG_EXPRESSION_(DEBUG, logger, expression, __VA_ARGS__)
#define RCLCPP_INFO_EXPRESSION(logger, expression, ...) \
  RCLCPP_LITE_LOG_EXPRESSION_(INFO, logger, expression, __VA_ARGS__)
#define RCLCPP_WARN_EXPRESSION(logger, expression, ...) \
  RCLCPP_LITE_LOG_EXPRESSION_(WARN, logger, expression, __VA_ARGS__)
#define RCLCPP_ERROR_EXPRESSION(logger, expression, ...) \
  RCLCPP_LITE_LOG_EXPRESSION_(ERROR, logger, expression, __VA_ARGS__)
#define RCLCPP_FATAL_EXPRESSION(logger, expression, ...) \
  RCLCPP_LITE_LOG_EXPRESSION_(FATAL, logger, expression, __VA_ARGS__)

#define RCLCPP_DEBUG_SKIPFIRST(logger, ...) RCLCPP_LITE_LOG_SKIPFIRST_(DEBUG, logger, __VA_ARGS__)
#define RCLCPP_INFO_SKIPFIRST(logger, ...) RCLCPP_LITE_LOG_SKIPFIRST_(INFO, logger, __VA_ARGS__)
#define RCLCPP_WARN_SKIPFIRST(logger, ...) RCLCPP_LITE_LOG_SKIPFIRST_(WARN, logger, __VA_ARGS__)
#define RCLCPP_ERROR_SKIPFIRST(logger, ...) RCLCPP_LITE_LOG_SKIPFIRST_(ERROR, logger, __VA_ARGS__)
#define RCLCPP_FATAL_SKIPFIRST(logger, ...) RCLCPP_LITE_LOG_SKIPFIRST_(FATAL, logger, __VA_ARGS__)

#define RCLCPP_DEBUG_THROTTLE(logger, clock, duration, ...) \
  RCLCPP_LITE_LOG_THROTTLE_(DEBUG, logger, clock, duration, __VA_ARGS__)
#define RCLCPP_INFO_THROTTLE(logger, clock, duration, ...) \
  RCLCPP_LITE_LOG_THROTTLE_(INFO, logger, clock, duration, __VA_ARGS__)
#define RCLCPP_WARN_THROTTLE(logger, clock, duration, ...) \
  RCLCPP_LITE_LOG_THROTTLE_(WARN, logger, clock, duration, __VA_ARGS__)
#define RCLCPP_ERROR_THROTTLE(logger, clock, duration, ...) \
  RCLCPP_LITE_LOG_THROTTLE_(ERROR, logger, clock, duration, __VA_ARGS__)
#define RCLCPP_FATAL_THROTTLE(logger, clock, duration, ...) \
  RCLCPP_LITE_LOG_THROTTLE_(FATAL, logger, clock, duration, __VA_ARGS__)

#define RCLCPP_DEBUG_STREAM(logger, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_, DEBUG, logger, stream_arg)
#define RCLCPP_INFO_STREAM(logger, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_, INFO, logger, stream_arg)
#define RCLCPP_WARN_STREAM(logger, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_, WARN, logger, stream_arg)
#define RCLCPP_ERROR_STREAM(logger, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_, ERROR, logger, stream_arg)
#define RCLCPP_FATAL_STREAM(logger, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_, FATAL, logger, stream_arg)

#define RCLCPP_DEBUG_STREAM_ONCE(logger, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_ONCE_, DEBUG, logger, stream_arg)
#define RCLCPP_INFO_STREAM_ONCE(logger, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_ONCE_, INFO, logger, stream_arg)
#define RCLCPP_WARN_STREAM_ONCE(logger, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_ONCE_, WARN, logger, stream_arg)
#define RCLCPP_ERROR_STREAM_ONCE(logger, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_ONCE_, ERROR, logger, stream_arg)
#define RCLCPP_FATAL_STREAM_ONCE(logger, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_ONCE_, FATAL, logger, stream_arg)
#define RCLCPP_DEBUG_STREAM_SKIPFIRST(logger, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_SKIPFIRST_, DEBUG, logger, stream_arg)
#define RCLCPP_INFO_STREAM_SKIPFIRST(logger, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_SKIPFIRST_, INFO, logger, stream_arg)
#define RCLCPP_WARN_STREAM_SKIPFIRST(logger, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_SKIPFIRST_, WARN, logger, stream_arg)
#define RCLCPP_ERROR_STREAM_SKIPFIRST(logger, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_SKIPFIRST_, ERROR, logger, stream_arg)
#define RCLCPP_FATAL_STREAM_SKIPFIRST(logger, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_SKIPFIRST_, FATAL, logger, stream_arg)
#define RCLCPP_DEBUG_STREAM_EXPRESSION(logger, expression, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_EXPRESSION_, DEBUG, logger, stream_arg, expression)
#define RCLCPP_INFO_STREAM_EXPRESSION(logger, expression, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_EXPRESSION_, INFO, logger, stream_arg, expression)
#define RCLCPP_WARN_STREAM_EXPRESSION(logger, expression, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_EXPRESSION_, WARN, logger, stream_arg, expression)
#define RCLCPP_ERROR_STREAM_EXPRESSION(logger, expression, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_EXPRESSION_, ERROR, logger, stream_arg, expression)
#define RCLCPP_FATAL_STREAM_EXPRESSION(logger, expression, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_EXPRESSION_, FATAL, logger, stream_arg, expression)
#define RCLCPP_DEBUG_STREAM_THROTTLE(logger, clock, duration, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_THROTTLE_, DEBUG, logger, stream_arg, clock, duration)
#define RCLCPP_INFO_STREAM_THROTTLE(logger, clock, duration, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_THROTTLE_, INFO, logger, stream_arg, clock, duration)
#define RCLCPP_WARN_STREAM_THROTTLE(logger, clock, duration, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_THROTTLE_, WARN, logger, stream_arg, clock, duration)
#define RCLCPP_ERROR_STREAM_THROTTLE(logger, clock, duration, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_THROTTLE_, ERROR, logger, stream_arg, clock, duration)
#define RCLCPP_FATAL_STREAM_THROTTLE(logger, clock, duration, stream_arg) \
  RCLCPP_LITE_STREAM_(RCLCPP_LITE_LOG_THROTTLE_, FATAL, logger, stream_arg, clock, duration)

#endif  // RCLCPP__LOGGING_HPP_
