#include "ui/Sheet.h"

#include <QDialog>
#include <QPointer>
#include <coroutine>

namespace vima {

namespace {

// Resumes on the sheet's `finished`, or on its destruction.
class SheetFinished {
public:
    explicit SheetFinished(QDialog *sheet) : sheet_(sheet) {}

    bool await_ready() const { return !sheet_; }
    void await_suspend(std::coroutine_handle<> waiting)
    {
        finished_ = QObject::connect(sheet_, &QDialog::finished, [this, waiting](int result) {
            result_ = result;
            resume(waiting);
        });
        destroyed_ = QObject::connect(sheet_, &QObject::destroyed, [this, waiting] { resume(waiting); });
    }
    int await_resume() const { return result_; }

private:
    void resume(std::coroutine_handle<> waiting)
    {
        QObject::disconnect(finished_);
        QObject::disconnect(destroyed_);
        waiting.resume();
    }

    QPointer<QDialog> sheet_;
    QMetaObject::Connection finished_;
    QMetaObject::Connection destroyed_;
    int result_ = QDialog::Rejected;
};

} // namespace

QCoro::Task<int> openSheet(QDialog *sheet)
{
    sheet->setWindowModality(sheet->parentWidget() ? Qt::WindowModal : Qt::ApplicationModal);
    sheet->open();
    co_return co_await SheetFinished(sheet);
}

} // namespace vima
