// The yardstick for Serimo's start-up: a bare Qt window with an edit box,
// eight tool buttons and a status bar.

#include <QApplication>
#include <QLineEdit>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare 1.0"));
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLineEdit(QStringLiteral("http://www.example.com/pic001.jpg")));
    auto *bar = new QHBoxLayout;
    for (int i = 0; i < 8; ++i) {
        auto *button = new QToolButton;
        button->setText(QStringLiteral("Button"));
        bar->addWidget(button);
    }
    layout->addLayout(bar);
    layout->addWidget(new QStatusBar);
    window.show();
    return app.exec();
}
