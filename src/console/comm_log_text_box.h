#pragma once

#include "console/comm_log_box.h"

#include <QPlainTextEdit>

// The communication log box txtCommLog: a read-only text box that keeps the log's text exactly as it
// was set (CR LF line ends included), since the text box itself would turn every line end into its own.
namespace kestrova {

class CommLogTextBox final : public QPlainTextEdit, public CommLogBox {
    Q_OBJECT

public:
    explicit CommLogTextBox(QWidget* parent = nullptr);

    QString text() const override { return m_text; }
    void setText(const QString& text) override;
    void moveCaretToEnd() override;

private:
    QString m_text;
};

} // namespace kestrova
