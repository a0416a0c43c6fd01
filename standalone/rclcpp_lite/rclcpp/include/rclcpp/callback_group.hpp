// rclcpp::CallbackGroup as in rclcpp/callback_group.hpp (Humble).
#ifndef RCLCPP__CALLBACK_GROUP_HPP_
#define RCLCPP__CALLBACK_GROUP_HPP_

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "rclcpp/detail/executable_entity.hpp"
#include "rclcpp/macros.hpp"

namespace rclcpp {

/// MutuallyExclusive: one callback of the group at a time. Reentrant: any number at once.
enum class CallbackGroupType { MutuallyExclusive, Reentrant };

class CallbackGroup {
public:
  RCLCPP_SMART_PTR_DEFINITIONS(CallbackGroup)

  explicit CallbackGroup(CallbackGroupType group_type,
                         bool automatically_add_to_executor_with_node = true);

  CallbackGroupType type() const { return type_; }

  /// False while a callback of a MutuallyExclusive group runs.
  std::atomic_bool& can_be_taken_from() { return can_be_taken_from_; }

  std::atomic_bool& get_associated_with_executor_atomic() { return associated_with_executor_; }

  bool automatically_add_to_executor_with_node() const {
    return automatically_add_to_executor_with_node_;
  }

  // rclcpp_lite internals, not part of the rclcpp API:

  /// The group holds entities weakly: whoever created them keeps them alive.
  void add_entity(std::weak_ptr<detail::ExecutableEntity> entity);
  /// Appends the live entities; forgets those that are gone.
  void collect_entities(std::vector<std::shared_ptr<detail::ExecutableEntity>>& entities);

private:
  RCLCPP_DISABLE_COPY(CallbackGroup)

  const CallbackGroupType type_;
  const bool automatically_add_to_executor_with_node_;
  std::atomic_bool can_be_taken_from_{true};
  std::atomic_bool associated_with_executor_{false};
  std::mutex mutex_;
  std::vector<std::weak_ptr<detail::ExecutableEntity>> entities_;
};

}  // namespace rclcpp

#endif  // RCLCPP__CALLBACK_GROUP_HPP_
