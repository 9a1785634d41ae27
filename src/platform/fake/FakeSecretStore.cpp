#include "platform/fake/FakeSecretStore.h"

namespace vima {

void FakeSecretStore::failIfAsked() const
{
    if (failure)
        throw *failure;
}

QCoro::Task<std::optional<QByteArray>> FakeSecretStore::read(QString account)
{
    ++reads;
    failIfAsked();
    const auto found = items.constFind(account);
    co_return found == items.constEnd() ? std::nullopt : std::optional(*found);
}

QCoro::Task<bool> FakeSecretStore::update(QString account, QByteArray data)
{
    ++updates;
    failIfAsked();
    if (!items.contains(account))
        co_return false;
    items[account] = data;
    co_return true;
}

QCoro::Task<void> FakeSecretStore::add(QString account, QByteArray data)
{
    ++adds;
    failIfAsked();
    items.insert(account, data);
    co_return;
}

QCoro::Task<void> FakeSecretStore::remove(QString account)
{
    failIfAsked();
    items.remove(account);
    co_return;
}

} // namespace vima
