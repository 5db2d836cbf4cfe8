#include "support/game_process.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <thread>

namespace fenwhit::testing {

namespace fs = std::filesystem;

GameProcess::GameProcess(std::string name) : name_(std::move(name)) {}

GameProcess::~GameProcess() {
  if (child_.pid > 0 && !status_) {
    kill(child_.pid, SIGKILL);
    Wait(std::chrono::seconds(5));
  }
}

void GameProcess::Start(const std::vector<std::string>& arguments,
                        const std::vector<std::string>& environment) {
  std::vector<std::string> settings = {"XDG_CACHE_HOME=" + temp_.str() + "/cache-home",
                                       "XDG_STATE_HOME=" + temp_.str() + "/state-home"};
  settings.insert(settings.end(), environment.begin(), environment.end());
  std::vector<const char*> words;
  for (const std::string& argument : arguments) words.push_back(argument.c_str());
  // The forked child has its own copy of the strings.
  child_ = StartProgram(FENWHIT_EXECUTABLE, work_, temp_, words, settings);
  status_.reset();
}

std::optional<int> GameProcess::Wait(std::chrono::milliseconds within) {
  if (!status_ && child_.pid > 0) {
    const int status = WaitFor(child_, within, &peakKilobytes_);
    if (status != -1) status_ = status;
  }
  return status_;
}

bool GameProcess::Running() {
  return child_.pid > 0 && !Wait(std::chrono::milliseconds(0));
}

void GameProcess::Signal(int signal) {
  if (Running()) kill(child_.pid, signal);
}

std::string GameProcess::Stdout() const {
  return ReadText(child_.stdoutFile);
}

std::string GameProcess::Stderr() const {
  return ReadText(child_.stderrFile);
}

std::vector<fs::path> GameProcess::Replays() const {
  std::vector<fs::path> replays;
  std::error_code error;
  for (const auto& entry :
       fs::directory_iterator(temp_.path() / "data-home/fenwhit/replays", error)) {
    if (entry.path().extension() == ".fwreplay") replays.push_back(entry.path());
  }
  // Numbered by their save, and only a few are kept: the name's order is close enough.
  std::sort(replays.begin(), replays.end());
  return replays;
}

fs::path GameProcess::ScoresFile() const {
  return temp_.path() / "data-home/fenwhit/scores";
}

std::string GameProcess::ScoresTable() const {
  std::string output;
  RunCommand({"env", "XDG_DATA_HOME=" + temp_.str() + "/data-home", FENWHIT_EXECUTABLE, "--scores"},
             output);
  return output;
}

int RunGame(const std::vector<std::string>& arguments, std::string& output,
            std::chrono::seconds within) {
  ScratchDir temp;
  std::vector<std::string> command = {"timeout",
                                      "-s",
                                      "KILL",
                                      std::to_string(within.count()),
                                      "env",
                                      "TMPDIR=" + temp.str(),
                                      FENWHIT_EXECUTABLE};
  command.insert(command.end(), arguments.begin(), arguments.end());
  const int status = RunCommand(command, output);
  return status == 137 ? -1 : status;
}

bool GameHelpMentions(const std::string& word) {
  std::string help;
  RunGame({"--help"}, help, std::chrono::seconds(20));
  return help.find(word) != std::string::npos;
}

uint16_t FreeUdpPort() {
  const int fd = socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  uint16_t port = 0;
  if (fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  if (fd >= 0) close(fd);
  return port;
}

bool UdpPortBoundWithin(uint16_t port, std::chrono::milliseconds within) {
  const auto end = std::chrono::steady_clock::now() + within;
  std::ostringstream suffix;
  suffix << ':' << std::uppercase << std::hex << std::setw(4) << std::setfill('0') << port;
  for (;;) {
    // Each socket a line: "  sl  local_address rem_address ...", addresses as ADDR:PORT in hex.
    std::ifstream table("/proc/net/udp");
    std::string line;
    std::getline(table, line);
    while (std::getline(table, line)) {
      std::istringstream fields(line);
      std::string slot, local;
      fields >> slot >> local;
      if (local.size() >= 5 && local.compare(local.size() - 5, 5, suffix.str()) == 0) return true;
    }
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
}

}  // namespace fenwhit::testing
