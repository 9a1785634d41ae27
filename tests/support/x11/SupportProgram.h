#pragma once

#include <QProcess>
#include <QStringList>

// A program of tests/support started for one test, stopped when it ends. Its
// output is read line by line while the test's event loop keeps running.
class SupportProgram {
public:
    SupportProgram(const QString &name, const QStringList &arguments);
    ~SupportProgram();

    // The next line not read yet, waiting up to `timeoutMs` for it; empty on
    // time-out. Generous: the first line comes after the program's start-up,
    // which a machine busy with other tests' X servers may take seconds over.
    QString nextLine(int timeoutMs = 30000);
    // Skips lines until one starts with `prefix`; empty on time-out.
    QString waitForLine(const QString &prefix, int timeoutMs = 30000);
    qint64 pid() const { return process_.processId(); }
    void closeInput() { process_.closeWriteChannel(); }
    // Writes one line to the program's standard input.
    void send(const QByteArray &line)
    {
        process_.write(line + '\n');
        process_.waitForBytesWritten();
    }

    // Runs a command to its end, keeping the event loop going; its exit code.
    // With `errors`, what it wrote to standard error lands there instead.
    static int run(const QString &program, const QStringList &arguments, QByteArray *errors = nullptr);

private:
    QProcess process_;
    QStringList lines_;
    QByteArray partial_;
};
