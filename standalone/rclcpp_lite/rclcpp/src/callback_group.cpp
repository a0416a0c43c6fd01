#include "rclcpp/callback_group.hpp"

namespace rclcpp {

CallbackGroup::CallbackGroup(CallbackGroupType group_type,
                             bool automatically_add_to_executor_with_node)
    : type_(group_type),
      automatically_add_to_executor_with_node_(automatically_add_to_executor_with_node) {}

void CallbackGroup::add_entity(std::weak_ptr<detail::ExecutableEntity> entity) {
  std::lock_guard<std::mutex> lock(mutex_);
  entities_.push_back(std::move(entity));
}

void CallbackGroup::collect_entities(
    std::vector<std::shared_ptr<detail::ExecutableEntity>>& entities) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto kept = entities_.begin();
  for (auto& weak : entities_) {
    if (auto entity = weak.lock()) {
      entities.push_back(std::move(entity));
      *kept++ = weak;
    }
  }
  entities_.erase(kept, entities_.end());
}

}  // namespace rclcpp
