// rclcpp::Executor as in rclcpp/executor.hpp (Humble): runs the callbacks of the callback groups
// of the nodes added to it.
#ifndef RCLCPP__EXECUTOR_HPP_
#define RCLCPP__EXECUTOR_HPP_

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "rclcpp/callback_group.hpp"
#include "rclcpp/context.hpp"
#include "rclcpp/detail/wake_signal.hpp"
#include "rclcpp/executor_options.hpp"
#include "rclcpp/macros.hpp"
#include "rclcpp/node.hpp"

namespace rclcpp {

class Executor {
public:
  RCLCPP_SMART_PTR_DEFINITIONS_NOT_COPYABLE(Executor)

  explicit Executor(const rclcpp::ExecutorOptions& options = rclcpp::ExecutorOptions());
  /// Releases the nodes and callback groups for other executors.
  virtual ~Executor();

  /// Runs callbacks until cancel() or the context shuts down. Throws std::runtime_error if the
  /// executor is spinning already.
  virtual void spin() = 0;

  /// Adds the node's callback groups that are automatically added with it, now and whenever it
  /// creates one. Throws std::runtime_error if the node is in an executor already.
  virtual void add_node(rclcpp::Node::SharedPtr node_ptr, bool notify = true);
  /// Throws std::runtime_error if the node is not in this executor.
  virtual void remove_node(rclcpp::Node::SharedPtr node_ptr, bool notify = true);

  /// Adds one group of the node, such as one created with
  /// automatically_add_to_executor_with_node = false; a Node::SharedPtr serves as node_ptr too.
  /// Throws std::runtime_error if the group is in an executor already.
  virtual void add_callback_group(rclcpp::CallbackGroup::SharedPtr group_ptr,
                                  rclcpp::node_interfaces::NodeBaseInterface::SharedPtr node_ptr,
                                  bool notify = true);
  /// Makes spin() return (after the callbacks running now have finished).
  void cancel();

protected:
  /// One callback to run, with the group and entity it belongs to.
  struct AnyExecutable {
    rclcpp::CallbackGroup::SharedPtr callback_group;
    std::shared_ptr<detail::ExecutableEntity> entity;
    std::function<void()> work;
  };

  /// Runs callbacks on the calling thread while spinning and the context is valid. Several
  /// threads may run it at once: they take work one at a time and run it in parallel.
  void run_until_stopped(bool yield_before_execute);
  /// Waits for a callback that may run now; false once the executor stops.
  bool get_next_executable(AnyExecutable& any_executable);
  void execute_any_executable(AnyExecutable& any_executable);

  std::atomic_bool spinning;
  const rclcpp::Context::SharedPtr context_;

private:
  RCLCPP_DISABLE_COPY(Executor)

  struct NodeEntry {
    rclcpp::Node::WeakPtr node;
    std::vector<rclcpp::CallbackGroup::WeakPtr> callback_groups;
  };

  /// A group added by add_callback_group, run while it and its node live.
  struct GroupEntry {
    rclcpp::CallbackGroup::WeakPtr group;
    rclcpp::node_interfaces::NodeBaseInterface::WeakPtr node;
  };

  /// An entity a look found ready, with its group; both may go before it is taken.
  struct ReadyEntity {
    rclcpp::CallbackGroup::WeakPtr group;
    std::weak_ptr<detail::ExecutableEntity> entity;
  };

  bool keeps_spinning() const { return spinning.load() && context_->is_valid(); }
  /// Associates the node's automatically added groups that no executor has yet.
  static void claim_new_groups(NodeEntry& entry, const rclcpp::Node::SharedPtr& node);
  /// The groups to look at now, with their entities in a stable order.
  std::vector<
      std::pair<rclcpp::CallbackGroup::SharedPtr, std::shared_ptr<detail::ExecutableEntity>>>
  collect_entities();
  /// Replaces what the last look found with the entities of the runnable groups that may have
  /// data now, kind by kind (as rclcpp's wait set reports its ready handles). Returns when the
  /// first timer of those groups is due (time_point::max() if none is).
  std::chrono::steady_clock::time_point look_for_ready();
  /// Takes work from the first entity of the last look that can run now. Each entity found is
  /// taken at most once per look, so neither a busy entity nor an earlier kind starves the rest.
  bool take_next_ready(AnyExecutable& any_executable);

  const std::shared_ptr<detail::WakeSignal> wake_signal_;
  std::mutex nodes_mutex_;
  std::vector<NodeEntry> nodes_;
  std::vector<GroupEntry> groups_;
  std::atomic<uint64_t> removals_{0};  // nodes removed so far
  // Taking work is serialized (as in rclcpp's multi-threaded executor); running it is not.
  std::mutex take_mutex_;
  // Under take_mutex_: what the last look found and no thread has taken yet, and the removals
  // counted before it.
  std::vector<ReadyEntity> ready_;
  uint64_t removals_at_look_ = 0;
};

}  // namespace rclcpp

#endif  // RCLCPP__EXECUTOR_HPP_
