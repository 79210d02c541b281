// Another program's window for the end-to-end tests: a plain Qt window with
// the title given on the command line, which publishes accessibility (its
// title as its name) as Qt programs do.

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("Other"));
    (new QVBoxLayout(&window))->addWidget(new QLabel(QStringLiteral("another program")));
    window.resize(300, 100);
    window.show();
    return app.exec();
}
