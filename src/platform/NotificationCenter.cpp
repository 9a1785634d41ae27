#include "platform/NotificationCenter.h"

#include <QList>
#include <algorithm>

namespace vima {

NotificationCenter::Token NotificationCenter::observe(const QString &name, Observer observer)
{
    const Token token = next_++;
    observers_.insert(token, Entry{name, std::move(observer)});
    return token;
}

void NotificationCenter::remove(Token token) { observers_.remove(token); }

void NotificationCenter::post(const QString &name, const QVariant &object)
{
    // Observers may add or remove observers; deliver to those present now, in
    // the order they registered.
    QList<Token> tokens;
    for (auto it = observers_.cbegin(); it != observers_.cend(); ++it) {
        if (it->name == name)
            tokens.append(it.key());
    }
    std::sort(tokens.begin(), tokens.end());
    for (Token token : tokens) {
        auto it = observers_.constFind(token);
        if (it != observers_.cend()) {
            const Observer observer = it->observer;
            observer(object);
        }
    }
}

} // namespace vima
