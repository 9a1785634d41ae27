#include "ai/CurlUrl.h"

namespace vima {

CurlUrl::CurlUrl(const QByteArray &url) : handle_(curl_url())
{
    // The flags libcurl itself reads a request's address with.
    if (handle_
        && curl_url_set(handle_.get(), CURLUPART_URL, url.constData(), CURLU_GUESS_SCHEME | CURLU_NON_SUPPORT_SCHEME)
               != CURLUE_OK)
        handle_.reset();
}

QByteArray CurlUrl::part(CURLU *handle, CURLUPart which, unsigned flags)
{
    char *text = nullptr;
    if (!handle || curl_url_get(handle, which, &text, flags) != CURLUE_OK)
        return {};
    QByteArray copy(text);
    curl_free(text);
    return copy;
}

// libcurl before 8.1 leaves the IPv6 zone out of a copy.
CurlUrl::Handle CurlUrl::copy() const
{
    Handle copy(curl_url_dup(handle_.get()));
    const QByteArray zone = part(handle_.get(), CURLUPART_ZONEID);
    if (copy && !zone.isNull() && curl_url_set(copy.get(), CURLUPART_ZONEID, zone.constData(), 0) != CURLUE_OK)
        copy.reset();
    return copy;
}

QByteArray CurlUrl::scheme() const { return part(handle_.get(), CURLUPART_SCHEME).toLower(); }

bool CurlUrl::sameOrigin(const CurlUrl &other) const
{
    if (!isValid() || !other.isValid())
        return false;
    const auto same = [&](CURLUPart which, unsigned flags) {
        const QByteArray mine = part(handle_.get(), which, flags);
        return !mine.isEmpty() && mine.compare(part(other.handle_.get(), which, flags), Qt::CaseInsensitive) == 0;
    };
    // Interface names are compared as written: eth0 and ETH0 may be two.
    return same(CURLUPART_SCHEME, 0) && same(CURLUPART_HOST, 0) && same(CURLUPART_PORT, CURLU_DEFAULT_PORT)
           && part(handle_.get(), CURLUPART_ZONEID) == part(other.handle_.get(), CURLUPART_ZONEID);
}

QByteArray CurlUrl::withoutUserInfo() const
{
    const Handle copy = isValid() ? this->copy() : nullptr;
    if (!copy)
        return {};
    for (const CURLUPart which : {CURLUPART_USER, CURLUPART_PASSWORD, CURLUPART_OPTIONS})
        curl_url_set(copy.get(), which, nullptr, 0);
    return part(copy.get(), CURLUPART_URL);
}

bool CurlUrl::isBare() const
{
    CURLU *handle = handle_.get();
    return isValid() && part(handle, CURLUPART_PATH) == "/" && part(handle, CURLUPART_QUERY).isNull()
           && part(handle, CURLUPART_FRAGMENT).isNull();
}

bool CurlUrl::hasAtPastHost() const
{
    CURLU *handle = handle_.get();
    return (part(handle, CURLUPART_PATH) + part(handle, CURLUPART_QUERY) + part(handle, CURLUPART_FRAGMENT))
        .contains('@');
}

QByteArray CurlUrl::appending(QByteArrayView component) const
{
    const Handle copy = isValid() ? this->copy() : nullptr;
    QByteArray path = part(copy.get(), CURLUPART_PATH);
    if (!path.endsWith('/'))
        path += '/';
    path += component;
    if (!copy || curl_url_set(copy.get(), CURLUPART_PATH, path.constData(), 0) != CURLUE_OK)
        return {};
    return part(copy.get(), CURLUPART_URL);
}

} // namespace vima
