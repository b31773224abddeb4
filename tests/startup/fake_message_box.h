#pragma once

#include "startup/message_box.h"

#include <QString>
#include <functional>
#include <vector>

// A message box for tests: it records every box with its kind ("notice", "critical", "exclamation", "question"),
// text and title, and answers every question with the answer the test has set. whileShown runs while a box
// is up, standing for the events that its own event loop lets in.
namespace kestrova::test {

struct ShownBox {
    QString kind;
    QString text;
    QString title;
    friend bool operator==(const ShownBox&, const ShownBox&) = default;
};

class FakeMessageBox final : public MessageBox {
public:
    void notice(const QString& text, const QString& title) override { shown.push_back({"notice", text, title}); }
    void critical(const QString& text, const QString& title) override {
        shown.push_back({"critical", text, title});
        if (whileShown) {
            whileShown();
        }
    }
    void exclamation(const QString& text, const QString& title) override {
        shown.push_back({"exclamation", text, title});
    }
    bool question(const QString& text, const QString& title) override {
        shown.push_back({"question", text, title});
        return answer;
    }

    std::vector<ShownBox> shown;
    bool answer = true;
    std::function<void()> whileShown;
};

inline void PrintTo(const ShownBox& box, std::ostream* out) {
    *out << box.kind.toStdString() << " \"" << box.text.toStdString() << "\" titled \"" << box.title.toStdString()
         << '"';
}

} // namespace kestrova::test
