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
    if (curl_url_get(handle, which, &text, flags) != CURLUE_OK)
        return {};
    QByteArray copy(text);
    curl_free(text);
    return copy;
}

bool CurlUrl::sameOrigin(const CurlUrl &other) const
{
    if (!isValid() || !other.isValid())
        return false;
    const auto same = [&](CURLUPart which, unsigned flags) {
        const QByteArray mine = part(handle_.get(), which, flags);
        return !mine.isEmpty() && mine.compare(part(other.handle_.get(), which, flags), Qt::CaseInsensitive) == 0;
    };
    return same(CURLUPART_SCHEME, 0) && same(CURLUPART_HOST, 0) && same(CURLUPART_PORT, CURLU_DEFAULT_PORT);
}

QByteArray CurlUrl::withoutUserInfo() const
{
    if (!isValid())
        return {};
    const Handle copy(curl_url_dup(handle_.get()));
    if (!copy)
        return {};
    for (const CURLUPart which : {CURLUPART_USER, CURLUPART_PASSWORD, CURLUPART_OPTIONS})
        curl_url_set(copy.get(), which, nullptr, 0);
    return part(copy.get(), CURLUPART_URL);
}

} // namespace vima
