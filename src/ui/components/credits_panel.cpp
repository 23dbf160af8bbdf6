// SPDX-License-Identifier: MIT
#include "ui/components/credits_panel.h"

#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <stdexcept>

#include "ui/components/application_errors.h"

namespace {

constexpr int kPadding = 3;  // between the bevel, the glyph and the text
constexpr int kMaxLineLength = 255;

}  // namespace

CreditsPanel::CreditsPanel(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setAutoFillBackground(true);
  timer_.setInterval(interval_);
  connect(&timer_, &QTimer::timeout, this, [this] { RunReportingErrors([this] { ScrollStep(); }); });
}

void CreditsPanel::SetActive(bool active) {
  if (active == active_) return;
  if (active) {
    Start();
  } else {
    Stop();
  }
}

void CreditsPanel::SetAlignment(Qt::Alignment alignment) {
  alignment_ = alignment & Qt::AlignHorizontal_Mask;
  if (active_) DrawFrame();
}

void CreditsPanel::SetGlyph(const QPixmap& glyph) {
  glyph_ = glyph;
  if (active_) PrepareFrame();
  update();
}

void CreditsPanel::SetGlyphLayout(GlyphSide layout) {
  glyphLayout_ = layout;
  if (active_) PrepareFrame();
  update();
}

void CreditsPanel::SetInterval(int milliseconds) {
  if (milliseconds < 0) throw std::invalid_argument("The scroll interval must not be negative");
  interval_ = milliseconds;
  timer_.setInterval(interval_);
  // A zero-interval QTimer would fire on every pass of the event loop; here 0 holds the scroll.
  if (interval_ == 0) {
    timer_.stop();
  } else if (active_) {
    timer_.start();
  }
}

void CreditsPanel::SetLines(const QStringList& lines) {
  lines_ = lines;
  if (!active_) return;
  offset_ = 0;
  DrawFrame();
}

void CreditsPanel::SetTextStyle(TextRelief style) {
  textStyle_ = style;
  if (active_) PrepareFrame();
}

void CreditsPanel::ScrollStep() {
  if (!active_) return;  // a tick that was already queued when the panel stopped
  const qint64 lastOffset = (static_cast<qint64>(lines_.size()) - 1) * lineHeight_;
  if (offset_ < lastOffset) {
    ++offset_;
  } else if (cycled_) {
    offset_ = 0;
  } else {
    SetActive(false);
    return;
  }
  DrawFrame();
}

// The inner rectangle: inside the bevels and the padding, then off the glyph's side by the
// padding and the glyph.
QRect CreditsPanel::TextArea() const {
  QRect area = InnerRect();
  const int glyphWidth = kPadding + (glyph_.isNull() ? 0 : glyph_.width());
  const int glyphHeight = kPadding + (glyph_.isNull() ? 0 : glyph_.height());
  switch (glyphLayout_) {
    case GlyphSide::Left: area.setLeft(area.left() + glyphWidth); break;
    case GlyphSide::Right: area.setRight(area.right() - glyphWidth); break;
    case GlyphSide::Top: area.setTop(area.top() + glyphHeight); break;
    case GlyphSide::Bottom: area.setBottom(area.bottom() - glyphHeight); break;
  }
  return area.isEmpty() ? QRect(0, 0, 0, 0) : area;
}

QRect CreditsPanel::InnerRect() const {
  const int margin = frameWidth() + kPadding;
  return rect().marginsRemoved(QMargins(margin, margin, margin, margin));
}

// Beside the text on its side, centred along that side but never before its start.
QPoint CreditsPanel::GlyphPosition() const {
  const QRect inner = InnerRect();
  const int x = inner.left() + std::max(0, (inner.width() - glyph_.width()) / 2);
  const int y = inner.top() + std::max(0, (inner.height() - glyph_.height()) / 2);
  switch (glyphLayout_) {
    case GlyphSide::Left: return {inner.left() + kPadding, y};
    case GlyphSide::Right: return {inner.right() + 1 - kPadding - glyph_.width(), y};
    case GlyphSide::Top: return {x, inner.top() + kPadding};
    case GlyphSide::Bottom: return {x, inner.bottom() + 1 - kPadding - glyph_.height()};
  }
  return inner.topLeft();
}

void CreditsPanel::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  if (!active_) return;
  QPainter painter(this);
  if (!glyph_.isNull()) painter.drawPixmap(GlyphPosition(), glyph_);
  if (!frame_.isNull()) painter.drawPixmap(TextArea().topLeft(), frame_);
}

void CreditsPanel::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  if (active_) PrepareFrame();
}

void CreditsPanel::changeEvent(QEvent* event) {
  QFrame::changeEvent(event);
  const bool looks = event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange ||
                     event->type() == QEvent::StyleChange;
  if (looks && active_) PrepareFrame();
}

void CreditsPanel::Start() {
  active_ = true;
  offset_ = 0;
  PrepareFrame();
  if (interval_ > 0) timer_.start(interval_);
  try {
    if (OnStartPlay) OnStartPlay(this);
  } catch (...) {
    active_ = false;
    timer_.stop();
    frame_ = QPixmap();
    throw;
  }
  HideChildren();
}

// The children come back and the panel repaints empty before OnStopPlay, so a handler that
// throws cannot leave them hidden.
void CreditsPanel::Stop() {
  active_ = false;
  timer_.stop();
  frame_ = QPixmap();
  ShowHiddenChildren();
  update();
  if (OnStopPlay) OnStopPlay(this);
}

// The line height spaces lines by the font's height and external leading, plus a pixel for the
// shadow of a lowered or raised style.
void CreditsPanel::PrepareFrame() {
  const QFontMetrics metrics(font());
  lineHeight_ = std::max(1, metrics.height() + metrics.leading() + (textStyle_ == TextRelief::None ? 0 : 1));
  const QRect area = TextArea();
  const qreal ratio = devicePixelRatioF();
  frame_ = area.isEmpty() ? QPixmap() : QPixmap(area.size() * ratio);
  frame_.setDevicePixelRatio(ratio);
  if (!frame_.isNull()) frame_.fill(palette().color(backgroundRole()));
  update();
}

void CreditsPanel::DrawFrame() {
  if (frame_.isNull()) return;
  frame_.fill(palette().color(backgroundRole()));
  QPainter painter(&frame_);
  painter.setFont(font());
  const QRect area = TextArea();
  QRect line(0, -(offset_ % lineHeight_), area.width(), lineHeight_);
  for (qsizetype i = offset_ / lineHeight_; i < lines_.size() && line.top() < area.height(); ++i) {
    DrawLine(painter, lines_[i], line);
    line.translate(0, lineHeight_);
  }
  painter.end();
  update(area);
}

void CreditsPanel::DrawLine(QPainter& painter, const QString& line, const QRect& rect) const {
  const QString text = line.left(kMaxLineLength);
  const int flags = Qt::TextSingleLine | Qt::TextExpandTabs | Qt::AlignTop | static_cast<int>(alignment_);
  if (textStyle_ != TextRelief::None) {
    const int shadow = textStyle_ == TextRelief::Lowered ? 1 : -1;
    painter.setPen(palette().color(QPalette::Light));
    painter.drawText(rect.translated(shadow, shadow), flags, text);
  }
  painter.setPen(palette().color(foregroundRole()));
  painter.drawText(rect, flags, text);
}

void CreditsPanel::HideChildren() {
  for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child->isHidden()) continue;
    hiddenChildren_.emplace_back(child);
    child->hide();
  }
}

void CreditsPanel::ShowHiddenChildren() {
  for (const QPointer<QWidget>& child : hiddenChildren_) {
    if (child) child->show();
  }
  hiddenChildren_.clear();
}
