#pragma once
// A one-connection loopback server that plays a script: send text, read a
// command line, close, or stay silent. Used to drive the FTP client into the
// replies real servers rarely give.

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace trakomer::upload::testing {

struct ScriptStep {
    enum Kind { Send, ReadLine, Close, Silent } kind;
    std::string text;  // for Send
};

inline ScriptStep Say(std::string text) {
    return {ScriptStep::Send, std::move(text)};
}
inline ScriptStep Hear() {
    return {ScriptStep::ReadLine, {}};
}
inline ScriptStep HangUp() {
    return {ScriptStep::Close, {}};
}
inline ScriptStep StaySilent() {
    return {ScriptStep::Silent, {}};
}

class ScriptedServer {
public:
    explicit ScriptedServer(std::vector<ScriptStep> script);
    ~ScriptedServer();
    ScriptedServer(const ScriptedServer&) = delete;
    ScriptedServer& operator=(const ScriptedServer&) = delete;

    int Port() const { return port_; }
    // The command lines read, without line ends; call after Finish.
    const std::vector<std::string>& Heard() const { return heard_; }
    // Stops a silent server and waits for the script to end.
    void Finish();

private:
    void Run();
    bool ReadLine(int fd, std::string& line);

    std::vector<ScriptStep> script_;
    std::vector<std::string> heard_;
    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace trakomer::upload::testing
