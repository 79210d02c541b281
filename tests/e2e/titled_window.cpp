// Another program's window for the end-to-end tests: a plain Qt window with
// the title given on the command line, which publishes accessibility (its
// title as its name) as Qt programs do. Each line on its standard input
// becomes its new title, as a browser's tab changes its window's title.

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QSocketNotifier>
#include <QVBoxLayout>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Other"));
    (new QVBoxLayout(&window))->addWidget(new QLabel(QStringLiteral("another program")));
    window.resize(300, 100);
    window.show();

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char chunk[256];
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n <= 0) {
            input.setEnabled(false);
            return;
        }
        pending.append(chunk, n);
        for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1))
            window.setWindowTitle(QString::fromUtf8(pending.left(end)));
    });
    return app.exec();
}
