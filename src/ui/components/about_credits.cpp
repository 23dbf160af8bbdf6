// SPDX-License-Identifier: MIT
#include "ui/components/about_credits.h"

#include <QFont>
#include <QPalette>

#include "ui/components/credits_panel.h"
#include "vexmira_version.h"

namespace {

constexpr int kBlankLinesBefore = 7;
constexpr int kStepMilliseconds = 70;
constexpr int kFontPixels = 11;
const QColor kNavy{0x00, 0x00, 0x80};

}  // namespace

QStringList AboutCreditLines() {
  QStringList lines;
  for (int i = 0; i < kBlankLinesBefore; ++i) lines << QString();
  lines << QStringLiteral("Vexmira " VEXMIRA_VERSION) << QString() << QStringLiteral("The Vexmira developers")
        << QStringLiteral("vexmira@example.org");
  return lines;
}

// A narrow sans-serif first, as elsewhere in the windows, so the lines fit the panel's width.
void SetUpAboutCredits(CreditsPanel& panel) {
  panel.resize(310, 92);
  panel.SetCycled(true);
  panel.SetInterval(kStepMilliseconds);
  QFont font;
  font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Sans Serif")});
  font.setStyleHint(QFont::SansSerif);
  font.setPixelSize(kFontPixels);
  font.setBold(true);
  panel.setFont(font);
  QPalette palette = panel.palette();
  palette.setColor(QPalette::WindowText, kNavy);
  panel.setPalette(palette);
  panel.SetLines(AboutCreditLines());
}
