// The argument types of a callable, as rclcpp/function_traits.hpp (Humble) finds them: functions,
// function pointers, lambdas and other function objects, and std::bind expressions (GNU libstdc++).
#ifndef RCLCPP__FUNCTION_TRAITS_HPP_
#define RCLCPP__FUNCTION_TRAITS_HPP_

#include <functional>
#include <tuple>

namespace rclcpp {
namespace function_traits {

template <typename Tuple>
struct tuple_tail;

template <typename Head, typename... Tail>
struct tuple_tail<std::tuple<Head, Tail...>> {
  using type = std::tuple<Tail...>;
};

// Function objects: the arguments of operator(), without the object itself.
template <typename FunctionT>
struct function_traits {
  using arguments = typename tuple_tail<
      typename function_traits<decltype(&FunctionT::operator())>::arguments>::type;
  static constexpr std::size_t arity = std::tuple_size<arguments>::value;
  template <std::size_t N>
  using argument_type = typename std::tuple_element<N, arguments>::type;
  using return_type = typename function_traits<decltype(&FunctionT::operator())>::return_type;
};

template <typename ReturnTypeT, typename... Args>
struct function_traits<ReturnTypeT(Args...)> {
  using arguments = std::tuple<Args...>;
  static constexpr std::size_t arity = sizeof...(Args);
  template <std::size_t N>
  using argument_type = typename std::tuple_element<N, arguments>::type;
  using return_type = ReturnTypeT;
};

template <typename ReturnTypeT, typename... Args>
struct function_traits<ReturnTypeT (*)(Args...)> : function_traits<ReturnTypeT(Args...)> {};

// std::bind of a member function, const member function or free function: the bound function's
// own arguments.
template <typename ClassT, typename ReturnTypeT, typename... Args, typename... FArgs>
struct function_traits<std::_Bind<ReturnTypeT (ClassT::*(FArgs...))(Args...)>>
    : function_traits<ReturnTypeT(Args...)> {};

template <typename ClassT, typename ReturnTypeT, typename... Args, typename... FArgs>
struct function_traits<std::_Bind<ReturnTypeT (ClassT::*(FArgs...))(Args...) const>>
    : function_traits<ReturnTypeT(Args...)> {};

template <typename ReturnTypeT, typename... Args, typename... FArgs>
struct function_traits<std::_Bind<ReturnTypeT (*(FArgs...))(Args...)>>
    : function_traits<ReturnTypeT(Args...)> {};

// Member functions (operator() of lambdas): the object comes first.
template <typename ClassT, typename ReturnTypeT, typename... Args>
struct function_traits<ReturnTypeT (ClassT::*)(Args...) const>
    : function_traits<ReturnTypeT(ClassT&, Args...)> {};

template <typename ClassT, typename ReturnTypeT, typename... Args>
struct function_traits<ReturnTypeT (ClassT::*)(Args...)>
    : function_traits<ReturnTypeT(ClassT&, Args...)> {};

template <typename FunctionT>
struct function_traits<FunctionT&> : function_traits<FunctionT> {};

template <typename FunctionT>
struct function_traits<FunctionT&&> : function_traits<FunctionT> {};

}  // namespace function_traits
}  // namespace rclcpp

#endif  // RCLCPP__FUNCTION_TRAITS_HPP_
