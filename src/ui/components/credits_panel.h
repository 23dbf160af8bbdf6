// SPDX-License-Identifier: MIT
#pragma once
// CreditsPanel: a bevelled panel that, while active, scrolls its lines upward through its inner
// area one pixel per tick, like film credits; inactive, it is an empty panel.
//
// Each tick draws the visible lines into an off-screen picture of the text area's size, which
// the next paint copies onto the panel, so a frame never shows half drawn.

#include <QFrame>
#include <QPixmap>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <vector>

enum class GlyphSide { Left, Right, Top, Bottom };
enum class TextRelief { None, Lowered, Raised };

class CreditsPanel;
using CreditsPanelEvent = std::function<void(CreditsPanel* Sender)>;

class CreditsPanel : public QFrame {
 public:
  // Destruction raises no OnStopPlay: the owner may already be half destroyed.
  explicit CreditsPanel(QWidget* parent = nullptr);

  bool Active() const { return active_; }
  // Starting: offset 0, PrepareFrame, the timer runs, OnStartPlay; if OnStartPlay throws, the
  // panel stops again and the exception goes on. Visible child widgets are hidden meanwhile.
  void SetActive(bool active);

  // Qt::AlignLeft, Qt::AlignRight or Qt::AlignHCenter (the default).
  Qt::Alignment Alignment() const { return alignment_; }
  void SetAlignment(Qt::Alignment alignment);
  // Starts again from the top after the last line instead of stopping.
  bool Cycled() const { return cycled_; }
  void SetCycled(bool cycled) { cycled_ = cycled; }
  const QPixmap& Glyph() const { return glyph_; }
  void SetGlyph(const QPixmap& glyph);
  GlyphSide GlyphLayout() const { return glyphLayout_; }
  void SetGlyphLayout(GlyphSide layout);
  // Milliseconds between two steps; 0 holds the scroll. Negative values throw.
  int Interval() const { return interval_; }
  void SetInterval(int milliseconds);
  const QStringList& Lines() const { return lines_; }
  // While active the scroll starts again from the top.
  void SetLines(const QStringList& lines);
  TextRelief TextStyle() const { return textStyle_; }
  void SetTextStyle(TextRelief style);

  CreditsPanelEvent OnStartPlay;
  CreditsPanelEvent OnStopPlay;

  // One tick: one pixel further, back to the top (Cycled) or stop after the last line.
  void ScrollStep();
  int Offset() const { return offset_; }
  int LineHeight() const { return lineHeight_; }
  QRect TextArea() const;
  // The picture of the text area; null while inactive.
  const QPixmap& Frame() const { return frame_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Start();
  void Stop();
  void PrepareFrame();
  void DrawFrame();
  void DrawLine(QPainter& painter, const QString& line, const QRect& rect) const;
  void HideChildren();
  void ShowHiddenChildren();
  QRect InnerRect() const;
  QPoint GlyphPosition() const;

  bool active_ = false;
  Qt::Alignment alignment_ = Qt::AlignHCenter;
  bool cycled_ = false;
  QPixmap glyph_;
  GlyphSide glyphLayout_ = GlyphSide::Left;
  int interval_ = 30;
  QStringList lines_;
  TextRelief textStyle_ = TextRelief::None;

  int offset_ = 0;
  int lineHeight_ = 1;
  QPixmap frame_;
  QTimer timer_;
  std::vector<QPointer<QWidget>> hiddenChildren_;
};
