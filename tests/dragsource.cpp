// SPDX-License-Identifier: MIT
// A small window for the end-to-end tests: a press on it starts a drag that carries the files
// (or links) named on the command line, as a file manager would, and prints whether the drop was
// taken. The target fetches the data only after the drop, so the window stays a while longer.

#include <QApplication>
#include <QDrag>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

#include <cstdio>

class DragSource : public QLabel
{
public:
    explicit DragSource(QList<QUrl> dragged) : QLabel(QStringLiteral("Drag me")), urls(std::move(dragged))
    {
        setWindowTitle(QStringLiteral("Drag source"));
    }

protected:
    void mousePressEvent(QMouseEvent *) override
    {
        auto *drag = new QDrag(this);
        auto *mime = new QMimeData;
        mime->setUrls(urls);
        drag->setMimeData(mime);
        const bool taken = drag->exec(Qt::CopyAction | Qt::LinkAction, Qt::CopyAction) != Qt::IgnoreAction;
        std::printf("drop %s\n", taken ? "taken" : "ignored");
        std::fflush(stdout);
        QTimer::singleShot(10000, qApp, &QApplication::quit);
    }

private:
    QList<QUrl> urls;
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QList<QUrl> urls;
    for (const QString &arg : app.arguments().mid(1)) {
        const QUrl url(arg);
        // Anything with a scheme of its own is passed as it is; the rest are local paths.
        urls << (url.scheme().size() > 1 ? url : QUrl::fromLocalFile(QFileInfo(arg).absoluteFilePath()));
    }
    DragSource source(urls);
    source.setGeometry(1060, 760, 180, 180);
    source.show();
    return app.exec();
}
