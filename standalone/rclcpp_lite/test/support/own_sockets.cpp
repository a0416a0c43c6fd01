#include "own_sockets.hpp"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace {

std::set<std::string> own_socket_inodes() {
  std::set<std::string> inodes;
  for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code gone;  // the iterator's own descriptor is closed by the time it is read
    const std::string link = std::filesystem::read_symlink(fd.path(), gone).string();
    if (link.rfind("socket:[", 0) == 0) {
      inodes.insert(link.substr(8, link.size() - 9));
    }
  }
  return inodes;
}

}  // namespace

std::vector<SocketEntry> own_inet_sockets() {
  const std::set<std::string> inodes = own_socket_inodes();
  std::vector<SocketEntry> sockets;
  for (const char* table : {"udp", "udp6", "tcp", "tcp6"}) {
    std::ifstream file(std::string("/proc/net/") + table);
    std::string line;
    std::getline(file, line);  // column titles
    while (std::getline(file, line)) {
      // sl local_address rem_address st tx_queue:rx_queue tr:tm->when retrnsmt uid timeout inode
      std::istringstream fields(line);
      const std::vector<std::string> columns{std::istream_iterator<std::string>(fields), {}};
      if (columns.size() > 9 && inodes.count(columns[9]) > 0) {
        sockets.push_back({table, columns[1]});
      }
    }
  }
  return sockets;
}
