// One POST through WinHTTP, with time-outs; the login name from the session's USERNAME.
#include "shell/win32/win32_score_client.h"

#include <memory>

#include "shell/win32/win32_common.h"

// After windows.h, which win32_common.h brings.
#include <winhttp.h>

namespace plonta {

namespace {

struct CloseInternet {
    void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using Internet = std::unique_ptr<void, CloseInternet>;

HttpAnswer failed() {
    const DWORD code = GetLastError();
    // WinHTTP's own codes have their sentences in its module, not the system's table.
    if (code == ERROR_WINHTTP_TIMEOUT) return {0, {}, "timed out"};
    if (code == ERROR_WINHTTP_CANNOT_CONNECT) return {0, {}, "cannot connect"};
    if (code == ERROR_WINHTTP_NAME_NOT_RESOLVED) return {0, {}, "no such host"};
    return {0, {}, "WinHTTP error " + std::to_string(code)};
}

} // namespace

HttpAnswer Win32ScoreClient::post(const ServerAddress& server, const std::string& path,
                                  const std::string& body) {
    const Internet session(WinHttpOpen(L"Plonta", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                       WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return failed();
    constexpr int connectMs = scoreConnectSeconds * 1000;
    WinHttpSetTimeouts(session.get(), connectMs, connectMs, connectMs, scoreAnswerSeconds * 1000);
    const Internet connection(WinHttpConnect(session.get(), wide(server.host).c_str(),
                                             static_cast<INTERNET_PORT>(server.port), 0));
    if (!connection) return failed();
    const Internet request(WinHttpOpenRequest(connection.get(), L"POST", wide(path).c_str(),
                                              nullptr, WINHTTP_NO_REFERER,
                                              WINHTTP_DEFAULT_ACCEPT_TYPES, 0));
    if (!request) return failed();
    const auto length = static_cast<DWORD>(body.size());
    if (!WinHttpSendRequest(request.get(), L"Content-Type: text/plain\r\n", static_cast<DWORD>(-1),
                            const_cast<char*>(body.data()), length, length, 0) ||
        !WinHttpReceiveResponse(request.get(), nullptr))
        return failed();
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!WinHttpQueryHeaders(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
        return failed();
    HttpAnswer answer{static_cast<int>(status), {}, {}};
    // The server's answers are a line of JSON; a larger one is cut, not waited for.
    constexpr std::size_t maxAnswer = 64 * 1024;
    char buffer[4096];
    DWORD read = 0;
    while (answer.body.size() < maxAnswer) {
        if (!WinHttpReadData(request.get(), buffer, sizeof buffer, &read)) return failed();
        if (read == 0) break;
        answer.body.append(buffer, read);
    }
    return answer;
}

std::string Win32ScoreClient::loginName() {
    // What GetUserNameW gives, without importing advapi32 for it.
    wchar_t name[257];
    const DWORD length = GetEnvironmentVariableW(L"USERNAME", name, 257);
    if (length == 0 || length >= 257) return "";
    return narrow(name, static_cast<int>(length));
}

} // namespace plonta
