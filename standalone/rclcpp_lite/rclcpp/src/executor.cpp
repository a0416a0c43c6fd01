#include "rclcpp/executor.hpp"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>

#include "rcpputils/scope_exit.hpp"

namespace rclcpp {

namespace {

using Candidates =
    std::vector<std::pair<CallbackGroup::SharedPtr, std::shared_ptr<detail::ExecutableEntity>>>;

bool is_mutually_exclusive(const CallbackGroup& group) {
  return group.type() == CallbackGroupType::MutuallyExclusive;
}

void release(const CallbackGroup::WeakPtr& weak_group) {
  if (auto group = weak_group.lock()) {
    group->get_associated_with_executor_atomic().store(false);
  }
}

/// Adds the group's entities unless it is gone or a callback of its runs and excludes others.
void append_runnable_entities(const CallbackGroup::SharedPtr& group, Candidates& candidates) {
  if (!group || (is_mutually_exclusive(*group) && !group->can_be_taken_from().load())) {
    return;
  }
  std::vector<std::shared_ptr<detail::ExecutableEntity>> entities;
  group->collect_entities(entities);
  for (auto& entity : entities) {
    candidates.emplace_back(group, std::move(entity));
  }
}

}  // namespace

Executor::Executor(const ExecutorOptions& options)
    : spinning(false), context_(options.context), wake_signal_(detail::executor_wake_signal()) {}

Executor::~Executor() {
  std::lock_guard<std::mutex> lock(nodes_mutex_);
  for (const NodeEntry& entry : nodes_) {
    std::for_each(entry.callback_groups.begin(), entry.callback_groups.end(), release);
    if (auto node = entry.node.lock()) {
      node->get_associated_with_executor_atomic().store(false);
    }
  }
  for (const GroupEntry& entry : groups_) {
    release(entry.group);
  }
}

void Executor::add_node(Node::SharedPtr node_ptr, bool notify) {
  if (node_ptr->get_associated_with_executor_atomic().exchange(true)) {
    throw std::runtime_error(std::string("Node '") + node_ptr->get_fully_qualified_name() +
                             "' has already been added to an executor.");
  }
  {
    std::lock_guard<std::mutex> lock(nodes_mutex_);
    nodes_.push_back(NodeEntry{node_ptr, {}});
    claim_new_groups(nodes_.back(), node_ptr);
  }
  if (notify) {
    wake_signal_->notify();
  }
}

void Executor::remove_node(Node::SharedPtr node_ptr, bool notify) {
  if (!node_ptr->get_associated_with_executor_atomic().load()) {
    throw std::runtime_error("Node needs to be associated with an executor.");
  }
  {
    std::lock_guard<std::mutex> lock(nodes_mutex_);
    const auto entry = std::find_if(nodes_.begin(), nodes_.end(),
                                    [&](const NodeEntry& e) { return e.node.lock() == node_ptr; });
    if (entry == nodes_.end()) {
      throw std::runtime_error("Node needs to be associated with this executor.");
    }
    std::for_each(entry->callback_groups.begin(), entry->callback_groups.end(), release);
    nodes_.erase(entry);
    ++removals_;
  }
  node_ptr->get_associated_with_executor_atomic().store(false);
  if (notify) {
    wake_signal_->notify();
  }
}

void Executor::add_callback_group(CallbackGroup::SharedPtr group_ptr,
                                  node_interfaces::NodeBaseInterface::SharedPtr node_ptr,
                                  bool notify) {
  if (group_ptr->get_associated_with_executor_atomic().exchange(true)) {
    throw std::runtime_error("Callback group was already added to an executor.");
  }
  {
    std::lock_guard<std::mutex> lock(nodes_mutex_);
    groups_.push_back(GroupEntry{group_ptr, node_ptr});
  }
  if (notify) {
    wake_signal_->notify();
  }
}

void Executor::cancel() {
  spinning.store(false);
  wake_signal_->notify();
}

void Executor::claim_new_groups(NodeEntry& entry, const Node::SharedPtr& node) {
  for (auto& group : node->callback_groups()) {
    if (group->automatically_add_to_executor_with_node() &&
        !group->get_associated_with_executor_atomic().exchange(true)) {
      entry.callback_groups.push_back(group);
    }
  }
}

Candidates Executor::collect_entities() {
  Candidates candidates;
  std::lock_guard<std::mutex> lock(nodes_mutex_);
  // The groups of a node that is gone are not run any more.
  nodes_.erase(std::remove_if(nodes_.begin(), nodes_.end(),
                              [](const NodeEntry& entry) { return entry.node.expired(); }),
               nodes_.end());
  // Likewise for added groups; one that outlives its node is free for other executors.
  groups_.erase(std::remove_if(groups_.begin(), groups_.end(),
                               [](const GroupEntry& entry) {
                                 if (!entry.node.expired()) {
                                   return entry.group.expired();
                                 }
                                 release(entry.group);
                                 return true;
                               }),
                groups_.end());
  for (NodeEntry& entry : nodes_) {
    if (auto node = entry.node.lock()) {
      claim_new_groups(entry, node);
    }
    for (const auto& weak_group : entry.callback_groups) {
      append_runnable_entities(weak_group.lock(), candidates);
    }
  }
  for (const GroupEntry& entry : groups_) {
    append_runnable_entities(entry.group.lock(), candidates);
  }
  return candidates;
}

std::chrono::steady_clock::time_point Executor::look_for_ready() {
  removals_at_look_ = removals_.load();
  Candidates found = collect_entities();
  auto next_due = std::chrono::steady_clock::time_point::max();
  for (const auto& candidate : found) {
    next_due = std::min(next_due, candidate.second->next_due());
  }
  found.erase(std::remove_if(found.begin(), found.end(),
                             [](const auto& candidate) { return !candidate.second->ready_hint(); }),
              found.end());
  std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
    return a.second->kind() < b.second->kind();
  });
  ready_.clear();
  for (const auto& [group, entity] : found) {
    ready_.push_back(ReadyEntity{group, entity});
  }
  return next_due;
}

bool Executor::take_next_ready(AnyExecutable& any_executable) {
  if (removals_.load() != removals_at_look_) {
    ready_.clear();  // an entity found may belong to a group this executor no longer runs
  }
  for (auto it = ready_.begin(); it != ready_.end();) {
    auto group = it->group.lock();
    auto entity = it->entity.lock();
    if (group && entity && is_mutually_exclusive(*group) && !group->can_be_taken_from().load()) {
      ++it;  // kept for when its group is free again, until the next look
      continue;
    }
    it = ready_.erase(it);
    if (!group || !entity || !entity->consume_ready_hint()) {
      continue;
    }
    std::function<void()> work = entity->take_work();
    if (!work) {
      continue;
    }
    entity->set_ready_hint();
    if (is_mutually_exclusive(*group)) {
      group->can_be_taken_from().store(false);
    }
    any_executable = AnyExecutable{group, entity, std::move(work)};
    return true;
  }
  return false;
}

bool Executor::get_next_executable(AnyExecutable& any_executable) {
  std::lock_guard<std::mutex> take_lock(take_mutex_);
  while (keeps_spinning()) {
    // Read before looking, so that anything arriving meanwhile ends the wait at once.
    const uint64_t generation = wake_signal_->generation();
    // What the last look found goes first, as rclcpp runs every handle a wait reported ready
    // before it waits again.
    if (take_next_ready(any_executable)) {
      return true;
    }
    auto wake_at = look_for_ready();
    if (take_next_ready(any_executable)) {
      return true;
    }
    // Until news arrive or the next timer is due.
    std::chrono::nanoseconds wait(-1);
    if (wake_at != std::chrono::steady_clock::time_point::max()) {
      wait = std::max(std::chrono::nanoseconds(wake_at - std::chrono::steady_clock::now()),
                      std::chrono::nanoseconds::zero());
    }
    wake_signal_->wait_for_change(generation, wait);
  }
  return false;
}

void Executor::execute_any_executable(AnyExecutable& any_executable) {
  auto release_group = rcpputils::make_scope_exit([this, &any_executable] {
    if (is_mutually_exclusive(*any_executable.callback_group)) {
      any_executable.callback_group->can_be_taken_from().store(true);
      wake_signal_->notify();
    }
  });
  any_executable.work();
}

void Executor::run_until_stopped(bool yield_before_execute) {
  while (keeps_spinning()) {
    AnyExecutable any_executable;
    if (!get_next_executable(any_executable)) {
      continue;
    }
    if (yield_before_execute) {
      std::this_thread::yield();
    }
    execute_any_executable(any_executable);
  }
}

}  // namespace rclcpp
