// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandRules.h"
#include "app/ProgressState.h"

#include <QStringList>

#include <gtest/gtest.h>

TEST(ProgressState, BoundsStayOrderedAndThePositionInside)
{
    ProgressState p;
    EXPECT_EQ(p.percent(), 100);
    // ShowProgress("x", 0, 10, 5) then SetStatus(""): the position goes to 0.
    p.setMin(0);
    p.setMax(10);
    EXPECT_EQ(p.position(), 10);
    p.setPosition(5);
    EXPECT_EQ(p.percent(), 50);
    p.setPosition(0);
    EXPECT_EQ(p.percent(), 0);

    ProgressState q; // ShowProgress("x", 5, 5, 5) after 0..100
    q.setMin(5);
    q.setMax(5);
    q.setPosition(5);
    EXPECT_EQ(q.min(), 5);
    EXPECT_EQ(q.max(), 100);
    EXPECT_EQ(q.position(), 5);
    EXPECT_EQ(q.percent(), 0);

    ProgressState r;
    r.setMin(200); // above the maximum: the two are swapped into order
    EXPECT_EQ(r.min(), 100);
    EXPECT_EQ(r.max(), 200);
    EXPECT_EQ(r.position(), 100);
    r.setMax(-50); // below the minimum
    EXPECT_EQ(r.min(), -50);
    EXPECT_EQ(r.max(), 100);
    EXPECT_EQ(r.position(), 100);
    r.setPosition(1000);
    EXPECT_EQ(r.position(), 100);
    r.setPosition(-1000);
    EXPECT_EQ(r.position(), -50);
    r.step();
    EXPECT_EQ(r.position(), -49);
    r.setMin(0); // position -49 falls outside: it moves to the new minimum
    EXPECT_EQ(r.position(), 0);
    r.setMax(3);
    r.setPosition(2);
    EXPECT_EQ(r.percent(), 67); // rounded
}

namespace {
struct FakeEditor : IEditor, ISaveAs, IListCommands, ISoundCommands {
    EditorKind kind;
    bool modified = false, recording = false, playing = false, empty = true, selection = false;
    bool loading = false, edited = false;
    int rows = 2;
    QStringList calls;
    explicit FakeEditor(EditorKind k) : kind(k) {}
    EditorKind editorKind() const override { return kind; }
    bool isModified() const override { return modified; }
    bool isRecording() const override { return recording; }
    bool isPlaying() const override { return playing; }
    bool isWaveEmpty() const override { return empty; }
    bool hasWaveSelection() const override { return selection; }
    bool isSampleLoading() const override { return loading; }
    bool isSampleEdited() const override { return edited; }
    int gridRowCount() const override { return rows; }
    void Save() override { calls << "Save"; }
    void SelectText() override { calls << "SelectText"; }
    void DelSound() override { calls << "DelSound"; }
    void PlaySound() override { calls << "PlaySound"; }
    void SaveAs() override { calls << "SaveAs"; }
    void RecSound() override { calls << "RecSound"; }
    void StopSound() override { calls << "StopSound"; }
    void ImportSound() override { calls << "ImportSound"; }
    void DeleteSound() override { calls << "DeleteSound"; }
    void CropSound() override { calls << "CropSound"; }
    void NormalizeSound() override { calls << "NormalizeSound"; }
};

// An editor with nothing but the base: every kind's commands stay off for it.
struct PlainEditor : IEditor {
    EditorKind kind;
    bool modified = true;
    int saves = 0;
    explicit PlainEditor(EditorKind k) : kind(k) {}
    EditorKind editorKind() const override { return kind; }
    bool isModified() const override { return modified; }
    void Save() override { ++saves; }
};

bool on(SharedCommand c, IEditor *top, bool current = false)
{
    return CommandRules::enabled(c, {top, top, top != nullptr}, current);
}
} // namespace

TEST(CommandRules, SelectFollowsThePoiEditorAndKeepsItsStateUnderAnItinerary)
{
    FakeEditor poi(EditorKind::Poi), itn(EditorKind::Itinerary), sound(EditorKind::Sound);
    bool sel = on(SharedCommand::Select, &poi);
    EXPECT_TRUE(sel);
    sel = on(SharedCommand::Select, &itn, sel);
    EXPECT_TRUE(sel);
    sel = on(SharedCommand::Select, &sound, sel);
    EXPECT_FALSE(sel);
    EXPECT_FALSE(on(SharedCommand::SelRegion, &itn, false));
    EXPECT_FALSE(on(SharedCommand::Search, &sound));
    EXPECT_TRUE(on(SharedCommand::Search, &itn));

    CommandRules::route(SharedCommand::Select, {&itn, &itn, true}); // enabled but does nothing
    EXPECT_TRUE(itn.calls.isEmpty());
    CommandRules::route(SharedCommand::Select, {&poi, &poi, true});
    EXPECT_EQ(poi.calls, QStringList({"SelectText"}));
}

TEST(CommandRules, DuplicatesNeedTwoDataRowsAndSaveNeedsChanges)
{
    FakeEditor poi(EditorKind::Poi);
    poi.rows = 2;
    EXPECT_FALSE(on(SharedCommand::Duplicates, &poi));
    poi.rows = 3;
    EXPECT_TRUE(on(SharedCommand::Duplicates, &poi));
    EXPECT_FALSE(on(SharedCommand::Save, &poi));
    EXPECT_TRUE(on(SharedCommand::SaveAs, &poi));
    poi.modified = true;
    EXPECT_TRUE(on(SharedCommand::Save, &poi));

    // Save goes to the active window, the rest to the top one.
    FakeEditor other(EditorKind::Scheme);
    CommandRules::route(SharedCommand::Save, {&other, &poi, true});
    EXPECT_TRUE(poi.calls.isEmpty());
    EXPECT_EQ(other.calls, QStringList({"Save"}));

    FakeEditor map(EditorKind::Map);
    map.modified = true;
    EXPECT_FALSE(on(SharedCommand::Save, &map));
    EXPECT_FALSE(on(SharedCommand::GoogleAPI, &map));
    EXPECT_TRUE(on(SharedCommand::GoogleAPI, &poi));
    EXPECT_TRUE(on(SharedCommand::GoogleAPI, nullptr));
    for (SharedCommand c : {SharedCommand::Save, SharedCommand::Search, SharedCommand::PlaySound, SharedCommand::RecSound,
                            SharedCommand::StopSound})
        EXPECT_FALSE(on(c, nullptr));
}

TEST(CommandRules, SoundCommandsFollowRecorderPlayerAndWave)
{
    FakeEditor poi(EditorKind::Poi), voice(EditorKind::Voice), sound(EditorKind::Sound), itn(EditorKind::Itinerary);
    EXPECT_FALSE(on(SharedCommand::PlaySound, &poi)); // empty wave
    EXPECT_TRUE(on(SharedCommand::RecSound, &poi));
    EXPECT_FALSE(on(SharedCommand::StopSound, &poi));
    poi.empty = false;
    EXPECT_TRUE(on(SharedCommand::PlaySound, &poi));
    EXPECT_TRUE(on(SharedCommand::DelSound, &poi));
    EXPECT_FALSE(on(SharedCommand::DeleteSound, &poi));
    poi.selection = true;
    EXPECT_TRUE(on(SharedCommand::DeleteSound, &poi));
    EXPECT_TRUE(on(SharedCommand::TrimSound, &poi));
    poi.playing = true;
    EXPECT_TRUE(on(SharedCommand::StopSound, &poi));
    for (SharedCommand c : {SharedCommand::PlaySound, SharedCommand::RecSound, SharedCommand::DelSound,
                            SharedCommand::DeleteSound, SharedCommand::NormalizeSound, SharedCommand::ImportSound})
        EXPECT_FALSE(on(c, &poi));

    voice.empty = false;
    EXPECT_FALSE(on(SharedCommand::DelSound, &voice)); // the sample is not edited
    EXPECT_FALSE(on(SharedCommand::SaveSound, &voice));
    voice.edited = true;
    EXPECT_TRUE(on(SharedCommand::DelSound, &voice));
    EXPECT_TRUE(on(SharedCommand::SaveSound, &voice));
    voice.loading = true;
    EXPECT_FALSE(on(SharedCommand::PlaySound, &voice));
    EXPECT_FALSE(on(SharedCommand::RecSound, &voice));
    EXPECT_TRUE(on(SharedCommand::DelSound, &voice));

    sound.empty = false;
    EXPECT_FALSE(on(SharedCommand::DelSound, &sound));
    EXPECT_FALSE(on(SharedCommand::SaveSound, &sound));
    EXPECT_TRUE(on(SharedCommand::NormalizeSound, &sound));
    EXPECT_FALSE(on(SharedCommand::RecSound, &itn));
    CommandRules::route(SharedCommand::DelSound, {&sound, &sound, true});
    EXPECT_TRUE(sound.calls.isEmpty());
}

TEST(CommandRules, CommandsNeedTheCapabilityNotJustTheKind)
{
    FakeEditor full(EditorKind::Poi);
    EXPECT_NE(full.as<ISoundCommands>(), nullptr);
    EXPECT_NE(full.as<IListCommands>(), nullptr);
    EXPECT_EQ(full.as<IMapSource>(), nullptr);

    for (EditorKind kind : {EditorKind::Poi, EditorKind::Voice, EditorKind::Sound, EditorKind::Itinerary}) {
        PlainEditor e(kind);
        EXPECT_EQ(e.as<ISoundCommands>(), nullptr);
        EXPECT_TRUE(on(SharedCommand::Save, &e)) << int(kind);
        for (SharedCommand c : {SharedCommand::SaveAs, SharedCommand::Search, SharedCommand::Duplicates,
                                SharedCommand::Select, SharedCommand::SelRegion, SharedCommand::PlaySound,
                                SharedCommand::RecSound, SharedCommand::StopSound, SharedCommand::DelSound,
                                SharedCommand::ImportSound, SharedCommand::SaveSound, SharedCommand::DeleteSound,
                                SharedCommand::TrimSound, SharedCommand::NormalizeSound}) {
            EXPECT_FALSE(on(c, &e)) << int(kind) << ' ' << int(c);
            CommandRules::route(c, {&e, &e, true}); // nothing to call, nothing breaks
        }
        CommandRules::route(SharedCommand::Save, {&e, &e, true});
        EXPECT_EQ(e.saves, 1);
    }

    FakeEditor poi(EditorKind::Poi);
    poi.empty = false;
    for (SharedCommand c : {SharedCommand::SaveAs, SharedCommand::RecSound, SharedCommand::NormalizeSound})
        CommandRules::route(c, {&poi, &poi, true});
    EXPECT_EQ(poi.calls, QStringList({"SaveAs", "RecSound", "NormalizeSound"}));
}
