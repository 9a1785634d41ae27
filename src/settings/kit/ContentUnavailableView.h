#pragma once

#include <QWidget>

namespace vima {

// What a list shows when it has nothing: a large symbol, a title and a
// description, centred in the space it is given.
class ContentUnavailableView final : public QWidget {
    Q_OBJECT

public:
    ContentUnavailableView(const QString &title, const QString &symbol, const QString &description,
                           QWidget *parent = nullptr);
};

} // namespace vima
