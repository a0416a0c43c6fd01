// Initialising a context from a command line, as a test's main would with argc/argv.
#ifndef API_TEST__API_TEST_CONTEXT_HPP_
#define API_TEST__API_TEST_CONTEXT_HPP_

#include <string>
#include <vector>

#include "rclcpp/context.hpp"

void init_context(const rclcpp::Context::SharedPtr& context, const std::vector<std::string>& args);

#endif  // API_TEST__API_TEST_CONTEXT_HPP_
