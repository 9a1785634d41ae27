#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <curl/curl.h>
#include <memory>

namespace vima {

// An address as libcurl reads the one it is asked to fetch: where a request
// would go is judged by the parser that takes it there.
class CurlUrl {
public:
    explicit CurlUrl(const QByteArray &url);

    bool isValid() const { return handle_ != nullptr; }
    // In lower case; empty when it can't read the address.
    QByteArray scheme() const;
    // Same scheme, host, IPv6 zone and port (a scheme's default port when none is given).
    bool sameOrigin(const CurlUrl &other) const;
    // The whole address without user name, password or login options.
    QByteArray withoutUserInfo() const;
    // Whether libcurl read no path, query or fragment beyond the "/" it puts in place of none.
    bool isBare() const;
    // Whether an '@' stands past the host: libcurl took the rest of a
    // password holding an unencoded '/', '?' or '#' for a path, query or fragment.
    bool hasAtPastHost() const;
    // The address with `component` added to its path, after a '/'; empty
    // when libcurl can't read the address.
    QByteArray appending(QByteArrayView component) const;

private:
    struct Free {
        void operator()(CURLU *handle) const { curl_url_cleanup(handle); }
    };
    using Handle = std::unique_ptr<CURLU, Free>;

    static QByteArray part(CURLU *handle, CURLUPart which, unsigned flags = 0);
    Handle copy() const;

    Handle handle_;
};

} // namespace vima
