#pragma once

#include <QStringList>
#include <QWidget>

class QButtonGroup;

namespace vima {

// A row of exclusive choices, at most one selected; index -1 shows none
// (a stored value that is not among the choices). Arrow keys move between
// the segments, Space chooses. activated() is the user's choice only;
// setCurrentIndex() never emits. The chosen segment is drawn in the ink
// colour, so it stands out in either theme.
class SegmentedControl final : public QWidget {
    Q_OBJECT

public:
    explicit SegmentedControl(const QStringList &labels, QWidget *parent = nullptr);

    int currentIndex() const;
    void setCurrentIndex(int index);
    int count() const;

Q_SIGNALS:
    void activated(int index);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QButtonGroup *group_;
};

} // namespace vima
