#include <gtest/gtest.h>

#include <string>

#include "help/key_reference.h"

namespace zv::test {
namespace {

constexpr TConfiguredStepKeys kAandQuestion = {65, 63};  // the step keys of a fresh installation
constexpr TConfiguredStepKeys kKandL = {75, 76};

std::string ActionOf(const TKeyReference& ref, const std::string& keys) {
    for (const TKeyRow& row : ref.Rows)
        if (row.Keys == keys)
            return row.Action;
    return "(no row for " + keys + ")";
}

std::string KeysOf(const TKeyReference& ref, const std::string& action) {
    for (const TKeyRow& row : ref.Rows)
        if (row.Action == action)
            return row.Keys;
    return "(no row for " + action + ")";
}

TEST(KeyReferenceTest, ParameterPageListsItsStepsAndTheConfiguredKeysInBothLanguages) {
    const TKeyReference de = KeyReference(6, 30, Language::German, kAandQuestion);
    EXPECT_EQ(de.Title, "Tastenübersicht - Parameter");
    EXPECT_EQ(de.CloseButton, "Schließen");
    EXPECT_EQ(KeysOf(de, "Wert +1"), "Pfeil hoch / Ziffernblock + / + / . / ] / A");
    EXPECT_EQ(KeysOf(de, "Wert -1"), "Pfeil runter / Ziffernblock - / - / , / [ / ?");
    EXPECT_EQ(ActionOf(de, "Bild auf / Bild ab"), "+15 / -15 (Maximaler Ausgabewert: +5 / -5)");
    EXPECT_EQ(ActionOf(de, "Esc"), "Seitenauswahl zeigen");

    const TKeyReference en = KeyReference(6, 30, Language::English, kKandL);
    EXPECT_EQ(en.Title, "Key reference - Parameters");
    EXPECT_EQ(en.CloseButton, "Close");
    EXPECT_EQ(KeysOf(en, "Value +1"), "Up / Numpad + / + / . / ] / K");
    EXPECT_EQ(KeysOf(en, "Value -1"), "Down / Numpad - / - / , / [ / L");
    EXPECT_EQ(ActionOf(en, "Page Up / Page Down"), "+15 / -15 (Maximum output: +5 / -5)");
}

TEST(KeyReferenceTest, ParameterPageFollowsTheFirmwareSwitches) {
    // Maximum output with its step of 5 from firmware 30.
    EXPECT_EQ(ActionOf(KeyReference(6, 29, Language::English, kKandL), "Page Up / Page Down"),
              "+15 / -15");
    // Tab visits the pulses and contacts only up to firmware 20.
    EXPECT_EQ(ActionOf(KeyReference(6, 20, Language::English, kKandL), "Tab"),
              "Next value: pulses, idle contact, WOT contact");
    EXPECT_EQ(ActionOf(KeyReference(6, 21, Language::English, kKandL), "Tab"), "Next value");
    // The scaling curve's point keys where the curve is shown: 26, and above 27.
    const std::string curve = "Scaling curve: curve point left / right";
    EXPECT_EQ(ActionOf(KeyReference(6, 25, Language::English, kKandL), "Left / Right"),
              "(no row for Left / Right)");
    EXPECT_EQ(ActionOf(KeyReference(6, 26, Language::English, kKandL), "Left / Right"), curve);
    EXPECT_EQ(ActionOf(KeyReference(6, 27, Language::English, kKandL), "Left / Right"),
              "(no row for Left / Right)");
    EXPECT_EQ(ActionOf(KeyReference(6, 28, Language::English, kKandL), "Left / Right"), curve);
}

TEST(KeyReferenceTest, NarrowBandPageIgnoresConfiguredKeysAndTrimsByFiveFromFirmware14) {
    const TKeyReference fw13 = KeyReference(4, 13, Language::English, kKandL);
    EXPECT_EQ(KeysOf(fw13, "Value +1"), "Up / Numpad + / + / . / ]");
    EXPECT_EQ(ActionOf(fw13, "Page Up / Page Down"), "+10 / -10");
    EXPECT_EQ(ActionOf(KeyReference(4, 14, Language::English, kKandL), "Page Up / Page Down"),
              "+10 / -10 (Trim Lambda value: +5 / -5)");
    EXPECT_EQ(ActionOf(KeyReference(4, 14, Language::German, kKandL), "Bild auf / Bild ab"),
              "+10 / -10 (Lambdawert trimmen: +5 / -5)");
}

TEST(KeyReferenceTest, EachPageHasItsOwnValueKeys) {
    // The fuel map's arrows move the cursor: only the pad and plus / minus keys step.
    const TKeyReference map = KeyReference(1, 30, Language::English, kKandL);
    EXPECT_EQ(KeysOf(map, "Value +1"), "Numpad + / + / K");
    EXPECT_EQ(ActionOf(map, "Page Up / Page Down"), "+15 / -15");
    EXPECT_EQ(ActionOf(map, "Tab"), "Adjust the sites");
    // The wideband page's arrows walk the target map; Page Up / Down step by 10.
    const TKeyReference wbo = KeyReference(5, 30, Language::English, kKandL);
    EXPECT_EQ(KeysOf(wbo, "Value -1"), "Numpad - / - / , / [ / L");
    EXPECT_EQ(ActionOf(wbo, "Page Up / Page Down"), "+10 / -10");
    // The older idle curve has no page step and none of the point, comma or bracket keys.
    const TKeyReference oldIdle = KeyReference(2, 5, Language::English, kKandL);
    EXPECT_EQ(KeysOf(oldIdle, "Value +1"), "Up / Numpad + / +");
    EXPECT_EQ(ActionOf(oldIdle, "Page Up / Page Down"), "(no row for Page Up / Page Down)");
    // The idle curve honours the configured keys, the input curves do not.
    EXPECT_EQ(KeysOf(KeyReference(3, 30, Language::English, kKandL), "Value +1"),
              "Up / Numpad + / + / . / ] / K");
    EXPECT_EQ(KeysOf(KeyReference(8, 30, Language::English, kKandL), "Value +1"),
              "Up / Numpad + / + / . / ]");
    EXPECT_EQ(KeysOf(KeyReference(9, 30, Language::German, kKandL), "Wert -1"),
              "Pfeil runter / Ziffernblock - / - / , / [ / L");
}

TEST(KeyReferenceTest, TheMapPagesListTheBlockKeys) {
    const TKeyReference map = KeyReference(1, 30, Language::English, kKandL);
    EXPECT_EQ(ActionOf(map, "Shift + arrow keys"),
              "Select a block of cells (also by dragging with the mouse); the value and page keys "
              "then change every cell in it");
    EXPECT_EQ(ActionOf(map, "S"), "Block of cells: Set to value...");
    EXPECT_EQ(ActionOf(map, "H"), "Block of cells: Interpolate horizontally");
    const TKeyReference wbo = KeyReference(5, 30, Language::German, kKandL);
    EXPECT_EQ(ActionOf(wbo, "G"), "Zellenblock: Glätten (Zielwerttabelle)");
    EXPECT_EQ(ActionOf(wbo, "B"), "Zellenblock: Aus den Ecken interpolieren (Zielwerttabelle)");
    EXPECT_EQ(ActionOf(KeyReference(6, 30, Language::English, kKandL), "S"), "(no row for S)");
}

TEST(KeyReferenceTest, FunctionKeysOnEveryPage) {
    for (const int page : {0, 1, 6, 11}) {
        const TKeyReference en = KeyReference(page, 30, Language::English, kKandL);
        EXPECT_EQ(ActionOf(en, "F1"), "This key reference");
        EXPECT_EQ(ActionOf(en, "F5"), "(F5) Go online to Zevrin Controller");
        EXPECT_EQ(ActionOf(en, "F8"), "(F8) Download entire data");
        EXPECT_EQ(ActionOf(en, "F11"), "Enable/Disable closed loop WBO2 controller");
        EXPECT_EQ(ActionOf(en, "Esc"), "Show the page selection");
    }
    const TKeyReference de = KeyReference(0, 30, Language::German, kKandL);
    EXPECT_EQ(ActionOf(de, "F7"), "(F7) Kompletter Daten upload");
    EXPECT_EQ(ActionOf(de, "F9"), "Leerlaufsteller ein-/ausschalten");
    EXPECT_EQ(ActionOf(de, "F10"), "(F10) Lambdaregelung Ein-/Ausschalten");
    EXPECT_EQ(de.Title, "Tastenübersicht - Intro");
}

}  // namespace
}  // namespace zv::test
