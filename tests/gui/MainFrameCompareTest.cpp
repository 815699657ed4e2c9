// Comparing, checking and verifying in the main window: Compare with File
// and with Device against the configuration as the fields show it, the
// memory grid's marks for bytes two nodes write, the check's errors before
// a write, and the read-back after it.
#include "MainFrameDeviceFixture.h"

#include "app/CompareDialog.h"
#include "config/ConfigCheck.h"

#include <wx/listctrl.h>

namespace {

using Rows = std::vector<std::vector<std::string>>;

Rows ListRows(const wxListCtrl& list)
{
    Rows rows;
    for (long i = 0; i < list.GetItemCount(); ++i) {
        std::vector<std::string> row;
        for (int c = 0; c < list.GetColumnCount(); ++c)
            row.push_back(list.GetItemText(i, c).utf8_string());
        rows.push_back(row);
    }
    return rows;
}

// Reads the compare dialog as shown, then sorted by `sortColumn` once and
// twice, and closes it.
struct SeenCompare {
    wxString title;
    std::vector<std::string> headings;
    Rows shown, sorted, reversed;
};

class InspectCompare : public wxExpectModalBase<CompareDialog, InspectCompare>
{
public:
    InspectCompare(SeenCompare* seen, int sortColumn) : m_seen(seen), m_sortColumn(sortColumn) {}

protected:
    int OnInvoked(CompareDialog* dialog) const override
    {
        m_seen->title = dialog->GetTitle();
        wxListCtrl& list = *dialog->List();
        for (int c = 0; c < list.GetColumnCount(); ++c) {
            wxListItem column;
            list.GetColumn(c, column);
            m_seen->headings.push_back(column.GetText().utf8_string());
        }
        m_seen->shown = ListRows(list);
        dialog->SortByColumn(m_sortColumn);
        m_seen->sorted = ListRows(list);
        dialog->SortByColumn(m_sortColumn);
        m_seen->reversed = ListRows(list);
        return wxID_OK;
    }

private:
    SeenCompare* m_seen;
    int m_sortColumn;
};

using MainFrameCompare = MainFrameDevice;

TEST_F(MainFrameCompare, CompareWithFileTakesTheFieldsAsShown)
{
    const std::string file = WriteConfigFile("other.qst", 61, "other notes");
    // The window's document has data age 60; the field says 75.
    Find<wxSpinCtrl>("ID_SPINCTRLDATAAGE")->SetValue(75);
    Find<wxTextCtrl>("ID_NOTESTEXT")->SetValue("typed notes");
    m_chooser->answers.push_back(file);
    SeenCompare seen;
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUCOMPAREFILE), InspectCompare(&seen, 0));

    EXPECT_EQ(seen.title, "Compare with other.qst");
    EXPECT_EQ(seen.headings, (std::vector<std::string>{"Field", "This configuration", "other.qst"}));
    EXPECT_EQ(seen.shown, (Rows{{"General Settings - Database data age", "75 secs", "61 secs"},
                                {"Notes (file only)", "typed notes", "other notes"}}));
    // Sorting by the field: ascending, then descending.
    EXPECT_EQ(seen.sorted, seen.shown);
    EXPECT_EQ(seen.reversed, (Rows{seen.shown[1], seen.shown[0]}));
    // Nothing the window shows was taken into the document.
    EXPECT_EQ(m_frame->Document().GetDataAge(), 60);
    ASSERT_EQ(m_chooser->asked.size(), 1u);
    EXPECT_EQ(m_chooser->asked[0].message, "Choose a file to compare with");
}

TEST_F(MainFrameCompare, SameConfigurationSaysNoDifferences)
{
    ConfigData same;
    same.SetNotes(m_frame->Document().GetNotes());
    const std::string file = m_dir.File("same.qst");
    ASSERT_TRUE(same.Save(file));
    m_chooser->answers.push_back(file);
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUCOMPAREFILE),
                  ExpectMessage("No differences", wxOK, wxOK | wxICON_INFORMATION));
    EXPECT_EQ(Status(), "No differences with same.qst");
}

TEST_F(MainFrameCompare, CompareWithDeviceLeavesNotesOutAndTheDocumentAlone)
{
    ConfigData held;
    held.SetDataAge(33);
    held.SetNotes("a device keeps no notes");
    auto device = StartDevice({"--config", HeldFile(held)});
    UseTcp(*device);
    const Snapshot before(m_frame->Document());
    SeenCompare seen;
    wxTEST_DIALOG(Menu(ConfigFrame::ID_MENUCOMPAREDEVICE), InspectCompare(&seen, 2));
    EXPECT_EQ(seen.headings.back(), wxString::Format("device 127.0.0.1:%d", device->Port()).utf8_string());
    EXPECT_EQ(seen.shown, (Rows{{"General Settings - Database data age", "60 secs", "33 secs"}}));
    EXPECT_TRUE(before.Matches(m_frame->Document()));
    // Only reads went to the device.
    for (const Frame& frame : Received())
        EXPECT_FALSE(StartsWith(frame, "set ")) << std::string(frame.begin(), frame.end());
}

// Node 2 of the defaults writes bytes 3-6, where a third node writes 1-4.
void ShareBytesThreeAndFour(ConfigData& config)
{
    ASSERT_TRUE(config.AddNode());
    NodeEntry& second = *config.GetNode(1);
    second.slaveCount = 1;
    second.slaveId[0] = 1;
    second.writeStart[0] = 2;
    second.writeLength[0] = 4;
    NodeEntry& third = *config.GetNode(2);
    third.slaveCount = 1;
    third.slaveId[0] = 2;
    third.writeStart[0] = 0;
    third.writeLength[0] = 4;
}

TEST_F(MainFrameCompare, MemoryGridMarksBytesTwoNodesWrite)
{
    ShareBytesThreeAndFour(m_frame->Document());
    m_frame->RefreshFromDocument();
    auto* grid = Find<wxGrid>("ID_GRIDMEMORY");
    const wxColour plain = grid->GetDefaultCellBackgroundColour();
    for (int row : {0, 1, 4, 5, 6})
        EXPECT_EQ(grid->GetCellBackgroundColour(row, 1), plain) << "byte " << row + 1;
    for (int row : {2, 3})
        EXPECT_NE(grid->GetCellBackgroundColour(row, 1), plain) << "byte " << row + 1;

    // The pointer over byte 4 names the nodes.
    wxWindow* cells = grid->GetGridWindow();
    const wxRect rect = grid->CellToRect(3, 1);
    const wxPoint at = grid->CalcScrolledPosition(rect.GetPosition() + wxPoint(2, rect.height / 2));
    wxMouseEvent motion(wxEVT_MOTION);
    motion.SetPosition(at);
    motion.SetEventObject(cells);
    cells->ProcessWindowEvent(motion);
    EXPECT_EQ(cells->GetToolTipText(), "Nodes 2 and 3 both write this byte: the last to write wins.");

    // Once no byte is shared, no mark stays.
    m_frame->Document().GetNode(1)->writeLength[0] = 0;
    m_frame->RefreshFromDocument();
    for (int row : {2, 3})
        EXPECT_EQ(grid->GetCellBackgroundColour(row, 1), plain) << "byte " << row + 1;
}

TEST_F(MainFrameCompare, WriteShowsTheCheckErrorsFirstAndNoSendsNothing)
{
    auto device = StartDevice({});
    UseTcp(*device);
    ShareBytesThreeAndFour(m_frame->Document());
    const wxString question = "This configuration has errors that may keep it from working as meant:\n\n"
                              "- Nodes 2 and 3 both write bytes 3-4 of the shared memory; the last to write wins."
                              "\n\nDo you want to write it anyway?";
    EXPECT_EQ(CheckErrorsQuestion(m_frame->Document()), question);
    wxTEST_DIALOG(Press("ID_BUTTON2"), ExpectQuestion(question, wxNO));
    EXPECT_TRUE(Received().empty());
    wxTEST_DIALOG(Press("ID_BUTTON2"), ExpectQuestion(question, wxYES));
    EXPECT_EQ(Status(), "Configuration sent and acknowledged");
}

TEST_F(MainFrameCompare, WriteReadsBackAndReportsWhatTheDeviceHolds)
{
    auto device = StartDevice({"--corrupt-store", "--delay", "get-0:400"});
    UseTcp(*device);
    std::vector<std::pair<wxString, bool>> seen;
    wxTEST_DIALOG(seen = WhileWaiting([&] { Press("ID_BUTTON2"); }),
                  ExpectError("Failed to write config to device.\r\n\r\n"
                              "The device holds something other than what was sent (sent -> read back):\n"
                              "  Node 1 - offset 15: 00 -> 01"));
    EXPECT_EQ(Status(), "Configuration write failed");
    EXPECT_NE(std::find(seen.begin(), seen.end(), std::make_pair(wxString("Verifying configuration: general settings..."), true)),
              seen.end());
}

} // namespace
