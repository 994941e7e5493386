// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QLocale>

#include "core/localetexts.h"

namespace chronivel {

// Dates and times in the user's locale, through QLocale.
class QtLocaleTexts final : public LocaleTexts {
public:
    explicit QtLocaleTexts(QLocale locale = QLocale::system()) : locale_(std::move(locale)) {}

    DateTimeTexts Now() const override { return At(QDateTime::currentDateTime()); }
    DateTimeTexts At(const QDateTime& moment) const;
    std::int64_t LocalMoment(std::int64_t epochMs, int days, int secondOfDay) const override;

private:
    QLocale locale_;
};

}  // namespace chronivel
