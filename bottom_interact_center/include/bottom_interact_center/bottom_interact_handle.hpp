// The "bottom_operate" service: the command table and the board exchanges behind it.
#ifndef BOTTOM_INTERACT_CENTER__BOTTOM_INTERACT_HANDLE_HPP_
#define BOTTOM_INTERACT_CENTER__BOTTOM_INTERACT_HANDLE_HPP_

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "bottom_interact_center/board_link.hpp"
#include "bottom_interact_center/tcp_client.hpp"
#include "robot/cleaning_component.pb.h"
#include "velmoria_protocol/srv/bottom_interact_srv.hpp"

namespace bottom_interact_center {

// Turns each service request into one board request on the procter link (port 8080) or the light
// link (port 8081). Requests may arrive on several executor threads at once; every command holds
// its link's mutex for its whole run, so at most one exchange is in flight per link. What the board
// sends on the light link is read and dropped as it comes, by a thread of the handle.
class BottomInteractHandle {
public:
  using Request = velmoria_protocol::srv::BottomInteractSrv::Request;
  using Response = velmoria_protocol::srv::BottomInteractSrv::Response;
  using CmdHandler = std::function<bool(std::shared_ptr<Request>, std::shared_ptr<Response>)>;

  // Takes the light link from g_node: create it once the node's Init has made its links.
  BottomInteractHandle();
  BottomInteractHandle(const BottomInteractHandle&) = delete;
  BottomInteractHandle& operator=(const BottomInteractHandle&) = delete;

  // The service callback: runs the command named by request->cmd. False when the command failed
  // or is not supported.
  bool DispatchCmd(std::shared_ptr<Request> request, std::shared_ptr<Response> response);
  void SetResponse(std::shared_ptr<Response> response, int32_t status, const std::string& message);

  // Sends the request once and waits up to timeout_s for the board's answer with the same id.
  // On failure writes the board's error code and a failure text into status and message.
  // Answers are read through the procter link's frame reader: call it for the procter link only,
  // holding its mutex.
  bool CleanCompReqNeedResp(std::shared_ptr<TcpClient> client,
                            const cleaning_component::CleaningComponentRequest& request,
                            cleaning_component::CleaningComponentResponse& response, int timeout_s,
                            int32_t& status, std::string& message);
  // Sends the request once without waiting for an answer.
  bool CleanCompReq(std::shared_ptr<TcpClient> client,
                    const cleaning_component::CleaningComponentRequest& request, int32_t& status,
                    std::string& message);

  // The wheel command's service status for a board error number.
  static int32_t ToServiceStatus(int32_t err_code);

private:
  struct ExchangeTexts;
  static const ExchangeTexts kRequestTexts;  // CleanCompReqNeedResp
  static const ExchangeTexts kWheelTexts;    // the wheel command's own exchange

  bool DoProcter(std::shared_ptr<Request> request, std::shared_ptr<Response> response);
  bool OperateLight(std::shared_ptr<Request> request, std::shared_ptr<Response> response);
  bool QueryChargingStation(std::shared_ptr<Request> request, std::shared_ptr<Response> response);
  bool OperateSelfCleanDuringWork(std::shared_ptr<Request> request,
                                  std::shared_ptr<Response> response);
  bool DistributePltCmd(std::shared_ptr<Request> request, std::shared_ptr<Response> response);
  bool DirtyTankSwitch(std::shared_ptr<Request> request, std::shared_ptr<Response> response);
  bool BumpUnlock(std::shared_ptr<Request> request, std::shared_ptr<Response> response);
  bool WheelCommand(std::shared_ptr<Request> request, std::shared_ptr<Response> response);
  bool FillLight(std::shared_ptr<Request> request, std::shared_ptr<Response> response,
                 const bool& report_event);
  bool QueryVersion(std::shared_ptr<Request> request, std::shared_ptr<Response> response);
  bool DoProcterSMF(std::shared_ptr<Request> request, std::shared_ptr<Response> response);
  bool HandleEndToolPump(std::shared_ptr<Request> request, std::shared_ptr<Response> response);
  bool OperateProjectionLight(std::shared_ptr<Request> request, std::shared_ptr<Response> response);

  // The tail of a procter command that awaits the board's answer: status 0 on success.
  bool ExchangeOnProcterLink(const cleaning_component::CleaningComponentRequest& request,
                             int timeout_s, std::shared_ptr<Response> response);
  // The tail of a command that only sends: status 0 once the frame is written.
  bool SendOnLink(BoardLink& link, const cleaning_component::CleaningComponentRequest& request,
                  std::shared_ptr<Response> response);
  // Sends the frame once and receives until the answer with request_id arrives, a frame does not
  // parse, or timeout_s has passed. A pass whose send or receive failed at once waits until
  // 100 ms after its start before the next. True when the answer carried no error.
  bool AwaitAnswer(TcpClient& link, const std::vector<uint8_t>& frame, int32_t request_id,
                   int timeout_s, const ExchangeTexts& texts,
                   cleaning_component::CleaningComponentResponse& response);

  std::mutex procter_mutex_;
  std::mutex light_mutex_;
  std::map<int32_t, CmdHandler> cmd_handlers_;
  // After their mutexes, so they go first. The light link's answers are drained, never awaited.
  BoardLink procter_link_;
  BoardLink light_link_;
};

}  // namespace bottom_interact_center

#endif  // BOTTOM_INTERACT_CENTER__BOTTOM_INTERACT_HANDLE_HPP_
