#pragma once

#include <QByteArray>
#include <curl/curl.h>
#include <memory>

namespace vima {

// An address as libcurl reads the one it is asked to fetch: where a request
// would go is judged by the parser that takes it there.
class CurlUrl {
public:
    explicit CurlUrl(const QByteArray &url);

    bool isValid() const { return handle_ != nullptr; }
    // Same scheme, host and port (a scheme's default port when none is given).
    bool sameOrigin(const CurlUrl &other) const;
    // The whole address without user name, password or login options.
    QByteArray withoutUserInfo() const;

private:
    struct Free {
        void operator()(CURLU *handle) const { curl_url_cleanup(handle); }
    };
    using Handle = std::unique_ptr<CURLU, Free>;

    static QByteArray part(CURLU *handle, CURLUPart which, unsigned flags = 0);

    Handle handle_;
};

} // namespace vima
