#include "editor/EditSlaves.h"
#include "support/NodeImage.h"
#include "support/PanelTestSupport.h"
#include "support/TestSupport.h"

#include <wx/grid.h>

namespace {

// Offsets of the slave table in the 383-byte node entry, written out here so
// that the tests do not lean on the named layout.
constexpr size_t kCount = 14;
constexpr size_t kIds = 15;
constexpr size_t kReadStarts = 65;
constexpr size_t kReadLengths = 165;
constexpr size_t kWriteStarts = 215;
constexpr size_t kWriteLengths = 315;

void PutSlave(NodeImage& image, size_t k, uint8_t id, uint16_t readStart, uint8_t readLength, uint16_t writeStart,
              uint8_t writeLength)
{
    image[kIds + k] = id;
    image[kReadStarts + 2 * k] = uint8_t(readStart & 0xFF);
    image[kReadStarts + 2 * k + 1] = uint8_t(readStart >> 8);
    image[kReadLengths + k] = readLength;
    image[kWriteStarts + 2 * k] = uint8_t(writeStart & 0xFF);
    image[kWriteStarts + 2 * k + 1] = uint8_t(writeStart >> 8);
    image[kWriteLengths + k] = writeLength;
}

class SlavesTest : public PanelTest
{
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        m_slaves = new EditSlaves(m_frame, wxID_ANY, wxDefaultPosition, wxSize(700, 250));
        m_slaves->Layout();
        m_grid = Find<wxGrid>(m_slaves, "ID_GRIDSLAVES");
    }
    void SetColumn(int column, const wxString& id, const wxString& readOffset, const wxString& readSize,
                   const wxString& writeOffset, const wxString& writeSize)
    {
        const wxString texts[] = {id, readOffset, readSize, writeOffset, writeSize};
        for (int row = 0; row < 5; ++row)
            m_grid->SetCellValue(row, column, texts[row]);
    }
    wxString Column(int column) const
    {
        wxString text;
        for (int row = 0; row < 5; ++row)
            text += (row ? "|" : "") + m_grid->GetCellValue(row, column);
        return text;
    }
    NodeImage Stored(const NodeImage& image)
    {
        NodeEntry node = EntryOf(image);
        EXPECT_TRUE(m_slaves->Store(node));
        return ImageOf(node);
    }

    EditSlaves* m_slaves = nullptr;
    wxGrid* m_grid = nullptr;
};

} // namespace

TEST_F(SlavesTest, GridHasOneColumnPerSlaveAndOneRowPerField)
{
    ASSERT_EQ(m_grid->GetNumberRows(), 5);
    ASSERT_EQ(m_grid->GetNumberCols(), 50);
    EXPECT_EQ(m_grid->GetRowLabelValue(0), "ID");
    EXPECT_EQ(m_grid->GetRowLabelValue(1), "Read Offset (bytes)");
    EXPECT_EQ(m_grid->GetRowLabelValue(2), "Read Size (bytes)");
    EXPECT_EQ(m_grid->GetRowLabelValue(3), "Write Offset (bytes)");
    EXPECT_EQ(m_grid->GetRowLabelValue(4), "Write Size (bytes)");
    EXPECT_EQ(m_grid->GetColLabelValue(0), "Slave 1");
    EXPECT_EQ(m_grid->GetColLabelValue(49), "Slave 50");
    EXPECT_TRUE(m_grid->IsEditable());
    EXPECT_NE(wxWindow::FindWindowByName("ID_PANEL1", m_slaves), nullptr);
}

TEST_F(SlavesTest, LoadShowsOffsetsFromOneAndNothingBehindTheCount)
{
    NodeImage image = FilledImage(0xEE);
    image[kCount] = 3;
    PutSlave(image, 0, 0, 0, 4, 4, 4);
    PutSlave(image, 1, 255, 511, 255, 0x0123, 1);
    PutSlave(image, 2, 7, 1000, 0, 20, 0);
    ASSERT_TRUE(m_slaves->Load(EntryOf(image)));
    EXPECT_EQ(Column(0), "0|1|4|5|4");
    EXPECT_EQ(Column(1), "255|512|255|292|1");
    EXPECT_EQ(Column(2), "7|1001|0|21|0");
    // Entries behind the count hold 0xEE bytes, which must not show.
    EXPECT_EQ(Column(3), "||||");
    EXPECT_EQ(Column(49), "||||");

    // A second load clears what the first one showed.
    image[kCount] = 1;
    m_slaves->Load(EntryOf(image));
    EXPECT_EQ(Column(1), "||||");
}

TEST_F(SlavesTest, StorePacksColumnsWithNumericIds)
{
    SetColumn(0, "", "9", "9", "9", "9");
    SetColumn(1, "12", "1", "2", "10", "3");
    SetColumn(2, "abc", "1", "1", "1", "1");
    SetColumn(3, "4x", "1", "1", "1", "1");
    SetColumn(4, "0", "300", "8", "0x10", "");
    const NodeImage base = FilledImage(0xEE);
    NodeImage expected = base;
    expected[kCount] = 2;
    PutSlave(expected, 0, 12, 0, 2, 9, 3);
    PutSlave(expected, 1, 0, 299, 8, 0, 0);
    const NodeImage stored = Stored(base);
    EXPECT_EQ(Differences(stored, expected), "");

    // The packed table comes back in the first two columns.
    EditSlaves* again = new EditSlaves(m_frame, wxID_ANY, wxDefaultPosition, wxSize(700, 250));
    again->Load(EntryOf(stored));
    auto* grid = Find<wxGrid>(again, "ID_GRIDSLAVES");
    EXPECT_EQ(grid->GetCellValue(0, 0), "12");
    EXPECT_EQ(grid->GetCellValue(1, 0), "1");
    EXPECT_EQ(grid->GetCellValue(0, 1), "0");
    EXPECT_EQ(grid->GetCellValue(1, 1), "300");
    EXPECT_EQ(grid->GetCellValue(0, 2), "");
}

TEST_F(SlavesTest, OffsetsAndSizesOutsideTheirRangesStoreZero)
{
    struct Case {
        const char* offset;
        const char* size;
        uint16_t start;
        uint8_t length;
    };
    const Case cases[] = {
        {"1", "1", 0, 1},
        {"0", "0", 0, 0},
        {"512", "255", 511, 255},   // the last byte of the memory
        {"513", "256", 0, 0},
        {"-1", "-1", 0, 0},
        {"", "", 0, 0},
        {"7.5", "2e1", 0, 0},
        {"257", "128", 256, 128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.offset) + " / " + c.size);
        SetColumn(0, "1", c.offset, c.size, c.offset, c.size);
        const NodeImage base = FilledImage(0);
        NodeImage expected = base;
        expected[kCount] = 1;
        PutSlave(expected, 0, 1, c.start, c.length, c.start, c.length);
        EXPECT_EQ(Differences(Stored(base), expected), "");
    }
}

TEST_F(SlavesTest, ShrinkingTableKeepsTheOldEntriesBehindTheCount)
{
    NodeImage image = FilledImage(0);
    image[kCount] = 4;
    PutSlave(image, 0, 1, 0, 4, 4, 4);
    PutSlave(image, 1, 2, 8, 4, 12, 4);
    PutSlave(image, 2, 3, 16, 4, 20, 4);
    PutSlave(image, 3, 4, 24, 4, 28, 4);
    m_slaves->Load(EntryOf(image));
    SetColumn(0, "", "", "", "", "");
    SetColumn(2, "", "", "", "", "");

    NodeImage expected = image;
    expected[kCount] = 2;
    PutSlave(expected, 0, 2, 8, 4, 12, 4);
    PutSlave(expected, 1, 4, 24, 4, 28, 4);
    // Entries 2 and 3 keep slaves 3 and 4 as they were.
    EXPECT_EQ(Differences(Stored(image), expected), "");
}

TEST_F(SlavesTest, IdsThatNoSlaveIdCanHoldAreRefusedNotStoredAsOthers)
{
    wxString problem;
    SetColumn(0, "255", "1", "1", "1", "1");
    SetColumn(1, "abc", "1", "1", "1", "1");
    EXPECT_TRUE(m_slaves->CheckIds(problem));
    EXPECT_EQ(problem, "");

    SetColumn(6, "256", "1", "1", "1", "1");
    EXPECT_FALSE(m_slaves->CheckIds(problem));
    EXPECT_TRUE(problem.Contains("Slave 7")) << problem;
    EXPECT_TRUE(problem.Contains("256")) << problem;
    EXPECT_EQ(m_grid->GetGridCursorRow(), 0);
    EXPECT_EQ(m_grid->GetGridCursorCol(), 6);

    SetColumn(6, "1", "1", "1", "1", "1");
    SetColumn(8, "-3", "1", "1", "1", "1");
    EXPECT_FALSE(m_slaves->CheckIds(problem));
    EXPECT_TRUE(problem.Contains("Slave 9")) << problem;
    SetColumn(8, "99999999999999999999999", "1", "1", "1", "1");
    EXPECT_FALSE(m_slaves->CheckIds(problem));

    // Were it stored anyway, the column is left out rather than wrapped.
    const NodeEntry stored = EntryOf(Stored(FilledImage(0)));
    EXPECT_EQ(stored.slaveCount, 2);
    EXPECT_EQ(stored.slaveId[0], 255);
    EXPECT_EQ(stored.slaveId[1], 1);
}

TEST_F(SlavesTest, TextStillInTheCellEditorIsStored)
{
    wxYield();
    m_grid->SetGridCursor(0, 0);
    m_grid->EnableCellEditControl();
    ASSERT_TRUE(m_grid->IsCellEditControlEnabled());
    wxGridCellEditor* editor = m_grid->GetCellEditor(0, 0);
    auto* text = dynamic_cast<wxTextCtrl*>(editor->GetControl());
    editor->DecRef();
    ASSERT_NE(text, nullptr);
    text->SetValue("42");
    EXPECT_EQ(EntryOf(Stored(FilledImage(0))).slaveId[0], 42);
    EXPECT_EQ(m_grid->GetCellValue(0, 0), "42");
}

TEST_F(SlavesTest, BlanksAroundANumberReadTheSameOnEitherSide)
{
    SetColumn(0, " 7", "5", "1", "1", "1");
    SetColumn(1, "8 ", "5 ", "1", "1", "1");
    SetColumn(2, "\t9 ", " 5 ", "1", "1", "1");
    SetColumn(3, "  ", "1", "1", "1", "1");   // blanks alone are no ID
    const NodeImage stored = Stored(FilledImage(0));
    EXPECT_EQ(stored[kCount], 3);
    EXPECT_EQ(stored[kIds], 7);
    EXPECT_EQ(stored[kIds + 1], 8);
    EXPECT_EQ(stored[kIds + 2], 9);
    for (size_t k = 0; k < 3; ++k)
        EXPECT_EQ(stored[kReadStarts + 2 * k], 4) << k;
}

TEST_F(SlavesTest, AnUntouchedTableIsStoredAsLoaded)
{
    // 60 slaves, more than the grid's 50 columns, reading from byte 600 on,
    // past the memory, which a typed offset could not store.
    NodeImage image = FilledImage(0);
    image[kCount] = 60;
    for (size_t k = 0; k < 50; ++k)
        PutSlave(image, k, uint8_t(k), uint16_t(600 + k), 2, uint16_t(k), 0);
    m_slaves->Load(EntryOf(image));
    EXPECT_EQ(m_grid->GetCellValue(1, 0), "601");
    EXPECT_EQ(Differences(Stored(image), image), "");

    // A cell the user sets is stored by its rule, the count is what the grid
    // holds, and the other cells keep their loaded values.
    m_grid->SetCellValue(2, 1, "9");
    NodeImage expected = image;
    expected[kCount] = 50;
    expected[kReadLengths + 1] = 9;
    EXPECT_EQ(Differences(Stored(image), expected), "");
}
