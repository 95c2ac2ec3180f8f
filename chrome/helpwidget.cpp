// SPDX-License-Identifier: MIT
#include "chrome/helpwidget.h"

#include "common/styledbackground.h"

#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace {

// Lines 2 and 3 are indented by a tab; the label does not wrap, so each line stays one line.
const char helpText[] = "1. To select files for compression, you can either :\n"
                        "\tPress the \"Browse Files\" button and navigate to the desired files on your system, or\n"
                        "\tSimply drag and drop the files directly into the application window.\n"
                        "2. Optionally, you can change the filenames within the application.\n"
                        "This will not affect the original filenames but will be reflected in the compressed "
                        "version.\n"
                        "3. Choose the destination where you want to save the compressed file.\n"
                        "4. Once you have finalized the settings, click the \"Compress\" button to initiate the "
                        "compression process.\n"
                        "5. Once the compression process is complete,\n"
                        " you will be notified of the success. The compressed file will be created and saved at "
                        "the destination you specified.";

} // namespace

HelpWidget::HelpWidget(QWidget *parent) : QWidget(parent, Qt::Window)
{
    createLabels();
    setupLayout();
}

void HelpWidget::createLabels()
{
    titleLabel = new QLabel;
    textLabel = new QLabel;
    textLabel->setTextFormat(Qt::PlainText);
}

void HelpWidget::setupLayout()
{
    auto *layout = new QVBoxLayout(this);
    // Room around the text, so it does not run into the window's edges.
    layout->setContentsMargins(40, 30, 40, 30);
    layout->setSpacing(20);
    titleLabel->setText(QStringLiteral("How to Use the File Compression Tool"));
    textLabel->setText(QString::fromUtf8(helpText));
    layout->addWidget(titleLabel, 0, Qt::AlignTop | Qt::AlignHCenter);
    layout->addWidget(textLabel, 1, Qt::AlignTop | Qt::AlignHCenter);
    titleLabel->setObjectName(QStringLiteral("HelpTitleLabel"));
    textLabel->setObjectName(QStringLiteral("HelpStandardLabel"));
}

void HelpWidget::paintEvent(QPaintEvent *event)
{
    paintStyledBackground(this);
    QWidget::paintEvent(event);
}

void HelpWidget::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
