#pragma once

#include <QStringList>
#include <QWidget>

class QButtonGroup;

namespace vima {

// A row of exclusive choices, at most one selected; index -1 shows none
// (a stored value that is not among the choices). Arrow keys move between
// the segments, Space chooses. Whatever checks a segment (a click, a key, an
// accessible "Toggle" or "Press") selects it alone and emits
// currentIndexChanged(); unchecking the selected one keeps it selected.
// setCurrentIndex() is the view's own update and never emits. The chosen
// segment is drawn in the ink colour, so it stands out in either theme.
class SegmentedControl final : public QWidget {
    Q_OBJECT

public:
    explicit SegmentedControl(const QStringList &labels, QWidget *parent = nullptr);

    int currentIndex() const;
    void setCurrentIndex(int index);
    int count() const;

Q_SIGNALS:
    void currentIndexChanged(int index);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void segmentToggled(int index, bool checked);

    QButtonGroup *group_;
    bool updating_ = false;
};

} // namespace vima
