// SPDX-License-Identifier: MIT
#pragma once

#include "files/entryrules.h"
#include "files/singlefilewidget.h"

#include <QMap>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <optional>

class QGridLayout;
class QScrollArea;

// The panel that lists the chosen files as tiles, seven to a row, in a vertically scrolling area.
// It lists only files and folders, refuses a second entry of the same name (case aside, as Windows
// sees names) and anything beyond 500 MB in all, accepts files dropped onto it or its window, and
// lets the user rename an entry, which then stands for a copy. What one add or drop refused is told
// in one message at its end.
class FileWidget : public QWidget
{
    Q_OBJECT
public:
    explicit FileWidget(QWidget *parent = nullptr);

    // The rename dialog, replaceable so tests can answer it.
    void setNameDialog(SingleFileWidget::NameDialog dialog);

    // True while the remaining entries are being listed again after a removal: the list is
    // empty then only for a moment.
    bool isRebuilding() const { return rebuilding; }

    // Reads every listed entry again, just before it is packed: an empty string when each is
    // still what was listed and all fit the limit, otherwise the message to show. The list stays
    // as it is either way.
    QString checkEntriesAgain(QList<EntryScan> *scans = nullptr);

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

    // Drops anywhere on `window` count as drops on the list; the list shows that it will take them.
    void takeDropsOn(QWidget *window);
    bool isDropHighlighted() const { return dropHighlighted; }

signals:
    // Once per add or drop whose first refusal was for the limit; `informative` names what it
    // refused and the room left.
    void sizeExceeded(QString error, QString informative);
    void sizeChanged(float size);
    void initDestinationPath(QString fileName);

public slots:
    void addFile(QString path);
    void addFiles(QStringList paths);
    void removeFile(QString path);
    void removeFiles(QStringList paths);
    void renameFile();
    void onFileNameChanged(QString oldPath, QString newPath);
    bool checkIfFileNameExists(QString fileName);
    void removeAllFiles();
    void updateFiles();
    QStringList getFiles();
    float getSize();
    qint64 getBytes() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void offer(const QString &path);
    void takeDropped(const QStringList &paths);
    void refuse(EntryRules::Refusal::Kind kind, const QString &text, const QString &name, float megabytes = 0.0f);
    void gatherRefusals(const std::function<void()> &work);
    void setDropHighlighted(bool on);
    QScrollArea *createScrollArea();
    bool refuseRoot(const QString &path);
    bool refuseListedName(const QString &path);
    QString takenName(const QString &fileName, const SingleFileWidget *except) const;
    std::optional<EntryScan> measure(const QString &path);
    bool refuseEntry(const EntryScan &scan, const QString &path);
    bool fitsLimit(SingleFileWidget *tile);
    void enter(const QString &path, SingleFileWidget *tile);
    void chainFocus(SingleFileWidget *tile);
    QWidget *focusableBefore() const;
    void addAgain(const QString &path, SingleFileWidget *tile);
    void rebuild(bool readAgain);
    void clearList(const QSet<QWidget *> &kept);
    void clearLayout(QLayout *layout, const QSet<QWidget *> &kept);

    QMap<QString, SingleFileWidget *> fileMap;
    QGridLayout *gridLayout = nullptr;
    int nextRow = 0;
    int nextColumn = 0;
    QPointer<SingleFileWidget> lastEntered;

    SingleFileWidget::NameDialog nameDialog;
    bool rebuilding = false;
    // What the current add, drop or rebuild refused so far, and how many of them are running.
    QList<EntryRules::Refusal> refusals;
    int gathering = 0;
    QPointer<QWidget> dropWindow;
    bool dropHighlighted = false;
};
