// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/messagebox.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>

#include "ui/abovemainwindow.h"

namespace chronivel {

QString FittedText(const QString& text, const QFontMetrics& metrics, int width, int maxChars)
{
    QString fitted;
    static const QRegularExpression words(QStringLiteral("\\S+|\\s+"));
    for (QRegularExpressionMatchIterator it = words.globalMatch(text); it.hasNext();) {
        const QString word = it.next().captured();
        // Measured only when it could be too wide: a long text has many short words.
        const bool wide = word.size() * metrics.maxWidth() > width && metrics.horizontalAdvance(word) > width;
        fitted += wide ? metrics.elidedText(word, Qt::ElideMiddle, width) : word;
        if (fitted.size() > maxChars) return fitted.left(maxChars) + QChar(0x2026);
    }
    return fitted;
}

void FitOnScreen(QMessageBox& box)
{
    const QScreen* screen = box.screen() ? box.screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QString whole = box.text();
    // Half the screen's width leaves room for the icon and the frame.
    const QString fitted = FittedText(whole, box.fontMetrics(), screen->availableGeometry().width() / 2);
    if (fitted == whole) return;
    box.setText(fitted);
    box.setDetailedText(whole);
}

void ShowMessage(QWidget* parent, QMessageBox::Icon icon, const QString& text)
{
    QMessageBox box(icon, QCoreApplication::applicationName(), text, QMessageBox::Ok, parent);
    KeepAboveMainWindow(box);
    FitOnScreen(box);
    box.exec();
}

}  // namespace chronivel
