// The peer of the idle benchmark: about the least a Qt Widgets clock can
// be. A frameless window with one label that a 200 ms timer sets to the
// time, as the real program's tick does.
#include <QApplication>
#include <QLabel>
#include <QTime>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowFlags(Qt::FramelessWindowHint | Qt::Window);
    window.resize(160, 160);
    QLabel label(&window);
    label.setGeometry(24, 116, 120, 32);
    QTimer tick;
    tick.setInterval(200);
    QObject::connect(&tick, &QTimer::timeout,
                     [&label] { label.setText(QTime::currentTime().toString(QStringLiteral("h:mm"))); });
    tick.start();
    label.setText(QTime::currentTime().toString(QStringLiteral("h:mm")));
    window.show();
    return app.exec();
}
