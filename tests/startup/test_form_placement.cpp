#include "startup/form_placement.h"
#include "startup/runtime_error.h"

#include "qstring_printer.h"
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

using kestrova::CodePage;
using kestrova::PlacementWindow;
using kestrova::RestoreFormPlacement;
using kestrova::SaveFormPlacement;
using kestrova::SettingsFile;

namespace {

struct Geometry {
    float left, top, width, height;
    bool operator==(const Geometry&) const = default;
};

// A window that records what is applied to it and can refuse a step.
class FakeWindow : public PlacementWindow {
public:
    FakeWindow(Geometry geometry, int state) : m_geometry(geometry), m_state(state) {}

    float left() const override { return readGeometry().left; }
    float top() const override { return readGeometry().top; }
    float width() const override { return readGeometry().width; }
    float height() const override { return readGeometry().height; }
    int windowState() const override { return m_state; }
    void move(float left, float top, float width, float height) override {
        ++calls;
        if (refuseMove) {
            throw kestrova::RuntimeError("cannot move");
        }
        m_geometry = {left, top, width, height};
    }
    void setWindowState(int state) override {
        ++calls;
        if (refuseState) {
            throw kestrova::RuntimeError("cannot change state");
        }
        m_state = state;
    }

    Geometry geometry() const { return m_geometry; }
    int state() const { return m_state; }

    bool refuseMove = false;
    bool refuseState = false;
    bool refuseGeometry = false;
    int calls = 0;

private:
    const Geometry& readGeometry() const {
        if (refuseGeometry) {
            throw kestrova::RuntimeError("no geometry");
        }
        return m_geometry;
    }

    Geometry m_geometry;
    int m_state;
};

const Geometry kDesigned{1000, 2000, 9000, 6000};

class FormPlacementTest : public ::testing::Test {
protected:
    QString stored() const { return m_settings.GetIniString("Position", "Kestrova"); }
    void store(const QString& value) const { ASSERT_TRUE(m_settings.WriteIniString("Position", "Kestrova", value)); }
    void save(const FakeWindow& window) const { SaveFormPlacement(window, m_settings, "Position", "Kestrova"); }
    void restore(FakeWindow& window, float defaultWidth = 0, float defaultHeight = 0) const {
        RestoreFormPlacement(window, m_settings, "Position", "Kestrova", defaultWidth, defaultHeight);
    }

    // Restores text into a designed window and checks the state and geometry it ends with.
    void expectRestored(const QString& text, int state, Geometry geometry) const {
        SCOPED_TRACE(text.toStdString());
        store(text);
        FakeWindow window(kDesigned, 0);
        restore(window);
        EXPECT_EQ(window.state(), state);
        EXPECT_EQ(window.geometry(), geometry);
    }

    QTemporaryDir m_folder;
    SettingsFile m_settings{m_folder.path(), CodePage("UTF-8")};
};

} // namespace

TEST_F(FormPlacementTest, NormalWindow_StoresStateAndGeometry) {
    save(FakeWindow({10, 20, 300, 400}, 0));
    EXPECT_EQ(stored(), "0,10,20,300,400,");
    save(FakeWindow({-45, 0.5f, 12345.67f, 15360}, 0));
    EXPECT_EQ(stored(), "0,-45,0.5,12345.67,15360,");
}

TEST_F(FormPlacementTest, MaximisedWindow_KeepsStoredNormalGeometry) {
    store("0,10,20,300,400,");
    save(FakeWindow({0, 0, 28800, 21600}, 2));
    EXPECT_EQ(stored(), "2,10,20,300,400,");
    FakeWindow reopened(kDesigned, 0);
    restore(reopened);
    EXPECT_EQ(reopened.state(), 2);
    EXPECT_EQ(reopened.geometry(), (Geometry{10, 20, 300, 400}));
}

TEST_F(FormPlacementTest, MaximisedWindowWithoutStoredValue_StoresItsOwnGeometry) {
    save(FakeWindow({0, 0, 28800, 21600}, 2));
    EXPECT_EQ(stored(), "2,0,0,28800,21600,");
}

TEST_F(FormPlacementTest, MinimisedWindow_LeavesStoredValueUntouched) {
    save(FakeWindow({10, 20, 300, 400}, 1));
    EXPECT_FALSE(QFile::exists(m_settings.filePath()));
    store("0,10,20,300,400,");
    save(FakeWindow({-32000, -32000, 2400, 400}, 1));
    EXPECT_EQ(stored(), "0,10,20,300,400,");
}

TEST_F(FormPlacementTest, StoredStates_RestoreNormalOrMaximised) {
    expectRestored("1,10,20,300,400,", 0, {10, 20, 300, 400});
    expectRestored("0,10,20,300,400,", 0, {10, 20, 300, 400});
    expectRestored("2,10,20,300,400,", 2, {10, 20, 300, 400});
    expectRestored("2.5,10.5,20,300,400,", 0, {10.5f, 20, 300, 400});
    expectRestored("2,10,20,300,400,extra,", 2, {10, 20, 300, 400});
    expectRestored("0,x,20px,,400,", 0, {0, 20, 0, 400});
}

TEST_F(FormPlacementTest, MalformedStoredValue_LeavesWindowAsDesigned) {
    expectRestored("0,10,20,300,400", 0, kDesigned);
    expectRestored("garbage", 0, kDesigned);
    expectRestored("0,1e39,20,300,400,", 0, kDesigned);
}

TEST_F(FormPlacementTest, NoStoredValue_DefaultWidthDecides) {
    FakeWindow untouched(kDesigned, 0);
    restore(untouched);
    EXPECT_EQ(untouched.calls, 0);
    EXPECT_EQ(untouched.geometry(), kDesigned);

    FakeWindow sized(kDesigned, 0);
    restore(sized, 4800, 3600);
    EXPECT_EQ(sized.geometry(), (Geometry{1000, 2000, 4800, 3600}));
}

TEST_F(FormPlacementTest, SaveThenRestore_GivesTheSameGeometry) {
    const Geometry odd{1234.5f, 0.1f, 7654.321f, 333.3333f};
    save(FakeWindow(odd, 0));
    FakeWindow reopened(kDesigned, 2);
    restore(reopened);
    EXPECT_EQ(reopened.state(), 0);
    EXPECT_EQ(reopened.geometry(), odd);
}

TEST_F(FormPlacementTest, WindowErrors_AreIgnored) {
    store("2,10,20,300,400,");
    FakeWindow stubborn(kDesigned, 0);
    stubborn.refuseState = true;
    EXPECT_NO_THROW(restore(stubborn));
    EXPECT_EQ(stubborn.geometry(), (Geometry{10, 20, 300, 400}));

    FakeWindow fixed(kDesigned, 0);
    fixed.refuseMove = true;
    EXPECT_NO_THROW(restore(fixed));
    EXPECT_EQ(fixed.state(), 2);
    EXPECT_EQ(fixed.geometry(), kDesigned);

    QFile::remove(m_settings.filePath());
    FakeWindow blind(kDesigned, 0);
    blind.refuseGeometry = true;
    EXPECT_NO_THROW(restore(blind, 4800, 3600));
    EXPECT_NO_THROW(save(blind));
    EXPECT_FALSE(QFile::exists(m_settings.filePath()));
}
