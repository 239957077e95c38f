// The attachment strip as the user meets it: one item per attachment with its
// type's icon, shown only for a message with attachments; opening, saving and
// dragging copies that are the user's alone, a question before anything that
// may run, and a message for every attachment that cannot be handed out.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QFileInfo>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <set>

#include "common/property_ids.h"
#include "common/utf16_text.h"
#include "tests/support/qt_test_environment.h"
#include "tests/support/test_paths.h"
#include "tests/viewer/data/mail_access/record_builder.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/rebuild/attachment_copy.h"
#include "viewer/data/work_folder/opened_copies.h"
#include "viewer/panes/mail_view/list_ctrl_attach.h"
#include "viewer/panes/mail_view/velmora_view.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;
namespace prop = common::prop;
using Model = AttachmentListModel;

PropInput Text(std::uint16_t id, const std::u16string& text) {
    return {id, 0x1F, Utf16BytesTerminated(text)};
}

PropInput Data(const std::string& bytes) {
    return {prop::kAttachDataBin, 0x0102, Bytes(bytes.begin(), bytes.end())};
}

// The data property of an attached message or OLE object: a reference into the store.
PropInput ObjectReference() {
    return {prop::kAttachDataBin, 0x000D, LongBytes(0x1234)};
}

PropInput Method(std::uint32_t method) {
    return {prop::kAttachMethod, 0x03, LongBytes(static_cast<std::int32_t>(method))};
}

std::string ReadAll(const QString& path) {
    std::ifstream file(path.toStdString(), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// A strip whose desktop only records what it was asked.
struct RecordedDesktop {
    std::vector<QString> opened;
    std::vector<QString> runQuestions;
    bool openSucceeds = true;
    bool allowRun = false;
    std::vector<QString> suggestedNames;
    QString saveFile;
    QString saveFolder;
    bool allowReplace = false;

    AttachmentDesktop Desktop() {
        return {[this](const QUrl& url) {
                    opened.push_back(url.toLocalFile());
                    return openSucceeds;
                },
                [this](QWidget*, const QString& file) {
                    runQuestions.push_back(file);
                    return allowRun;
                },
                [this](QWidget*, const QString& suggested) {
                    suggestedNames.push_back(suggested);
                    return saveFile;
                },
                [this](QWidget*) { return saveFolder; },
                [this](QWidget*, const QString&) { return allowReplace; }};
    }
};

class AttachmentStripTest : public testing::Test {
  protected:
    void SetUp() override {
        SetOpenedCopiesBase(base_.Path());
        strip_.SetDesktop(desktop_.Desktop());
    }
    void TearDown() override { SetOpenedCopiesBase({}); }

    // Shows a message with the one attachment and opens it.
    void OpenOnly(std::vector<PropInput> attachment) {
        strip_.Fill(records_.Mail(records_.Map({}), {}, {records_.Attachment(attachment)}));
        strip_.OpenItem(0);
    }

    // An attachment holding a message with `subject` and a plain `body`.
    AttachmentRow* AttachedMessage(const std::u16string& subject, const std::u16string& body) {
        AttachmentRow* row = records_.Attachment({Text(prop::kDisplayName, subject), Method(5)});
        row->embedded =
            records_.Mail(records_.Map({Text(prop::kSubject, subject), Text(prop::kBody, body)}));
        return row;
    }

    ScratchDir base_;
    RecordBuilder records_;
    RecordedDesktop desktop_;
    RecordingMessageHost messages_;
    CListCtrlAttach strip_;
};

struct IconCase {
    const char* label;
    std::vector<PropInput> attachment;
    bool embedded;
    const char* mimeType;
    const char* iconName;  // empty: the generic file icon
};

TEST(AttachmentStripIconTest, EachItemShowsItsNameAndTheIconOfItsTypeInStoredOrder) {
    const IconCase cases[] = {
        {"text",
         {Text(prop::kAttachLongFilename, u"notes.txt")},
         false,
         "text/plain",
         "text-plain"},
        {"pdf",
         {Text(prop::kAttachLongFilename, u"Report.PDF"), Text(prop::kAttachExtension, u".pdf")},
         false,
         "application/pdf",
         "application-pdf"},
        {"no extension: a text file",
         {Text(prop::kDisplayName, u"README")},
         false,
         "text/plain",
         "text-plain"},
        {"unknown extension",
         {Text(prop::kAttachLongFilename, u"data.qqzx")},
         false,
         "application/octet-stream",
         ""},
        {"hostile extension",
         {Text(prop::kAttachExtension, u"pdf/../../x")},
         false,
         "application/octet-stream",
         ""},
        {"attached message",
         {Text(prop::kDisplayName, u"Minutes"), Method(5)},
         true,
         "message/rfc822",
         "message-rfc822"},
    };
    RecordBuilder records;
    const MailEntry* inner = records.Mail(records.Map({Text(prop::kSubject, u"Minutes")}));
    std::vector<AttachmentRow*> rows;
    for (const IconCase& c : cases) {
        rows.push_back(records.Attachment(c.attachment));
        if (c.embedded) rows.back()->embedded = const_cast<MailEntry*>(inner);
    }
    CVelmoraView view;
    view.resize(800, 600);
    view.show();
    view.ShowMail(records.Mail(records.Map({}), {}, rows));
    EXPECT_TRUE(view.Attachments().isVisible());
    const QAbstractItemModel* model = view.Attachments().model();
    ASSERT_EQ(model->rowCount(), static_cast<int>(std::size(cases)));
    for (int row = 0; row < model->rowCount(); ++row) {
        const IconCase& c = cases[row];
        SCOPED_TRACE(c.label);
        const QModelIndex index = model->index(row, 0);
        EXPECT_EQ(index.data(Qt::DisplayRole).toString().toStdU16String(),
                  AttachmentName(rows[row]));
        EXPECT_EQ(index.data(Model::kMimeTypeRole).toString(), c.mimeType);
        EXPECT_EQ(index.data(Model::kIconNameRole).toString(), c.iconName);
        EXPECT_FALSE(index.data(Qt::DecorationRole).value<QIcon>().isNull());
    }
    // A message without attachments hides the strip again; so does a cleared view.
    view.ShowMail(records.Mail(records.Map({})));
    EXPECT_FALSE(view.Attachments().isVisible());
    EXPECT_EQ(model->rowCount(), 0);
}

struct StripLayoutCase {
    int attachments;
    int viewWidth;
    bool scrolls;
};

// List mode: the items fill a column top to bottom, then the next column;
// the strip scrolls sideways only, and no item is ever cut by its bottom edge.
TEST(AttachmentStripLayoutTest, ItemsFillColumnsTopToBottomAndTheStripScrollsSideways) {
    const StripLayoutCase cases[] = {
        {1, 800, false}, {2, 800, false}, {9, 800, false},
        {20, 800, true}, {40, 800, true}, {5, 330, true},
    };
    for (const StripLayoutCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.attachments << " items, view " << c.viewWidth);
        RecordBuilder records;
        std::vector<AttachmentRow*> rows;
        for (int i = 0; i < c.attachments; ++i) {
            const std::u16string name = u"f" + common::Utf8ToUtf16(std::to_string(i)) + u".txt";
            rows.push_back(records.Attachment({Text(prop::kAttachLongFilename, name)}));
        }
        CVelmoraView view;
        view.resize(c.viewWidth, 600);
        view.show();
        view.ShowMail(records.Mail(records.Map({}), {}, rows));
        CListCtrlAttach& strip = view.Attachments();
        QCoreApplication::processEvents();
        strip.doItemsLayout();

        EXPECT_EQ(strip.verticalScrollBar()->maximum(), 0);
        EXPECT_EQ(strip.horizontalScrollBar()->maximum() > 0, c.scrolls);
        const QAbstractItemModel* model = strip.model();
        const int bottom = strip.viewport()->height();
        std::vector<QRect> items;
        for (int row = 0; row < c.attachments; ++row) {
            SCOPED_TRACE(row);
            items.push_back(strip.visualRect(model->index(row, 0)));
            const QRect& item = items.back();
            EXPECT_TRUE(item.top() >= 0 && item.bottom() < bottom) << "cut at the bottom";
            // Below the item before it, or at the top of the next column.
            if (row > 0) {
                const QRect& above = items[row - 1];
                EXPECT_TRUE((item.x() == above.x() && item.y() > above.y()) ||
                            (item.x() > above.x() && item.y() == items[0].y()));
            }
        }
        // While the strip need not scroll, two items fit in each column.
        if (c.attachments >= 2 && !c.scrolls) {
            EXPECT_EQ(items[1].x(), items[0].x());
        }
        // Scrolling sideways brings the last item wholly into view.
        const QModelIndex last = model->index(c.attachments - 1, 0);
        strip.scrollTo(last);
        EXPECT_TRUE(strip.viewport()->rect().contains(strip.visualRect(last)));
    }
}

TEST(AttachmentCopyTest, OnlyPlainShortExtensionsSurvive) {
    const std::pair<std::u16string, std::u16string> cases[] = {
        {u"pdf", u"pdf"},
        {u"Tar2", u"Tar2"},
        {u"", u""},
        {u"abcdefghijklmnop", u"abcdefghijklmnop"},  // 16: the longest kept
        {u"abcdefghijklmnopq", u""},
        {u"tar.gz", u""},
        {u"../x", u""},
        {u"p df", u""},
        {u"exe\n", u""},
        {u"d\u00e9j", u""},
    };
    for (const auto& [extension, safe] : cases)
        EXPECT_EQ(SafeExtension(extension), safe) << common::Utf16ToUtf8(extension);
}

TEST_F(AttachmentStripTest, EachOpenAndEachDragWritesAFreshPrivateCopy) {
    OpenOnly({Text(prop::kAttachLongFilename, u"../../Q3 plan.txt"), Data("plan")});
    strip_.OpenItem(0);
    strip_.OpenItem(7);  // no such item
    ASSERT_EQ(desktop_.opened.size(), 2u);
    std::unique_ptr<QMimeData> dragged(strip_.model()->mimeData({strip_.model()->index(0, 0)}));
    ASSERT_NE(dragged, nullptr);
    ASSERT_EQ(dragged->urls().size(), 1);
    std::vector<QString> copies = desktop_.opened;
    copies.push_back(dragged->urls()[0].toLocalFile());
    EXPECT_EQ(std::set<QString>(copies.begin(), copies.end()).size(), copies.size());
    for (const QString& copy : copies) {
        SCOPED_TRACE(copy.toStdString());
        const fs::path path = copy.toStdString();
        EXPECT_EQ(path.filename(), "Q3 plan.txt");
        EXPECT_TRUE(
            path.parent_path().parent_path().filename().string().starts_with(kOpenedCopiesPrefix));
        EXPECT_EQ(path.parent_path().parent_path().parent_path(), base_.Path());
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        // Opened copies are read-only, so that an editor asks where to save;
        // a dragged copy keeps the mode its drop target gives its own copy.
        const bool dragged = copy == copies.back();
        EXPECT_EQ(info.st_mode & 0777, dragged ? 0600u : 0400u);
        EXPECT_EQ(ReadAll(copy), "plan");
    }
    EXPECT_TRUE(desktop_.runQuestions.empty());
    EXPECT_TRUE(messages_.texts.empty());
    // Double-clicking the strip where there is no item opens nothing.
    strip_.resize(400, 40);
    strip_.show();
    QTest::mouseDClick(strip_.viewport(), Qt::LeftButton, {}, QPoint(390, 35));
    EXPECT_EQ(desktop_.opened.size(), 2u);
}

struct RunCase {
    const char* label;
    std::vector<PropInput> attachment;
    bool asks;
};

TEST_F(AttachmentStripTest, WhatMayRunIsOpenedOnlyWhenTheUserSaysYes) {
    const RunCase cases[] = {
        {"shell script by name", {Text(prop::kAttachLongFilename, u"fix.sh"), Data("echo")}, true},
        {"Windows program by name",
         {Text(prop::kAttachLongFilename, u"setup.exe"), Data("x")},
         true},
        {"launcher by name", {Text(prop::kAttachLongFilename, u"app.desktop"), Data("x")}, true},
        {"Java archive by name", {Text(prop::kAttachLongFilename, u"tool.jar"), Data("x")}, true},
        {"program posing as text",
         {Text(prop::kAttachLongFilename, u"notes.txt"), Data(std::string("\x7f"
                                                                          "ELF\x02\x01\x01",
                                                                          7))},
         true},
        {"script posing as text",
         {Text(prop::kAttachLongFilename, u"notes.txt"), Data("#!/bin/sh\nrm -rf ~\n")},
         true},
        {"plain text", {Text(prop::kAttachLongFilename, u"notes.txt"), Data("hello")}, false},
        {"picture", {Text(prop::kAttachLongFilename, u"cat.png"), Data("\x89PNG\r\n")}, false},
    };
    for (const RunCase& c : cases) {
        SCOPED_TRACE(c.label);
        desktop_ = RecordedDesktop{};
        OpenOnly(c.attachment);
        EXPECT_EQ(desktop_.runQuestions.size(), c.asks ? 1u : 0u);
        // "No" is what the user answered, so only what need not be asked about is opened.
        EXPECT_EQ(desktop_.opened.size(), c.asks ? 0u : 1u);
    }
    desktop_ = RecordedDesktop{};
    desktop_.allowRun = true;
    OpenOnly({Text(prop::kAttachLongFilename, u"fix.sh"), Data("echo")});
    EXPECT_EQ(desktop_.opened.size(), 1u);
}

struct FailureCase {
    const char* label;
    std::vector<PropInput> attachment;
    bool openFails;
    const char* message;
};

TEST_F(AttachmentStripTest, AnAttachmentThatCannotBeOpenedIsExplained) {
    const FailureCase cases[] = {
        {"no data", {Text(prop::kAttachLongFilename, u"link.txt")}, false, "holds no data"},
        {"stored object",
         {Text(prop::kDisplayName, u"Chart"), ObjectReference(), Method(6)},
         false,
         "holds no data"},
        {"unreadable attached message",
         {Text(prop::kDisplayName, u"Fwd: minutes"), ObjectReference(), Method(5)},
         false,
         "attached message that cannot be read"},
        {"no program for it",
         {Text(prop::kAttachLongFilename, u"a.txt"), Data("a")},
         true,
         "No program on this desktop could open"},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.label);
        desktop_ = RecordedDesktop{};
        desktop_.openSucceeds = !c.openFails;
        messages_.texts.clear();
        QSignalSpy windows(&strip_, &CListCtrlAttach::MessageOpenRequested);
        OpenOnly(c.attachment);
        ASSERT_EQ(messages_.texts.size(), 1u);
        EXPECT_NE(messages_.texts[0].find(c.message), std::string::npos) << messages_.texts[0];
        EXPECT_EQ(desktop_.opened.size(), c.openFails ? 1u : 0u);
        EXPECT_EQ(windows.count(), 0);
    }
    // Nowhere to write the copy.
    SetOpenedCopiesBase(base_ / "missing");
    desktop_ = RecordedDesktop{};
    messages_.texts.clear();
    OpenOnly({Text(prop::kAttachLongFilename, u"a.txt"), Data("a")});
    ASSERT_EQ(messages_.texts.size(), 1u);
    EXPECT_NE(messages_.texts[0].find("could not be copied"), std::string::npos);
    EXPECT_TRUE(desktop_.opened.empty());
}

TEST_F(AttachmentStripTest, SaveAllNeverReplacesAFileAndSaveAsOnlyWhenAllowed) {
    ScratchDir target;
    std::ofstream(target / "a.txt") << "kept";
    strip_.Fill(records_.Mail(
        records_.Map({}), {},
        {records_.Attachment({Text(prop::kAttachLongFilename, u"a.txt"), Data("one")}),
         records_.Attachment({Text(prop::kAttachLongFilename, u"A.txt"), Data("two")}),
         records_.Attachment({Text(prop::kAttachLongFilename, u"../../etc/passwd"), Data("three")}),
         records_.Attachment({Text(prop::kAttachLongFilename, u"link.txt")}),
         AttachedMessage(u"Minutes 3/4", u"Agreed on the harbour")}));
    desktop_.saveFolder = QString::fromStdString(target.Path().string());
    strip_.SaveAll();
    // The attached message is written whole, rendered, under its subject.
    const std::string message =
        ReadAll(QString::fromStdString((target / "Minutes 3_4.eml").string()));
    EXPECT_NE(message.find("Agreed on the harbour"), std::string::npos) << message;
    const std::pair<const char*, const char*> files[] = {
        {"a.txt", "kept"}, {"a (2).txt", "one"}, {"A (3).txt", "two"}, {"passwd", "three"}};
    for (const auto& [name, content] : files)
        EXPECT_EQ(ReadAll(QString::fromStdString((target / name).string())), content) << name;
    EXPECT_FALSE(fs::exists(target / "link.txt"));
    ASSERT_EQ(messages_.texts.size(), 1u);  // one message for what could not be saved
    EXPECT_NE(messages_.texts[0].find("link.txt"), std::string::npos);

    // Save As onto an existing file: refused leaves it, allowed replaces it.
    desktop_.saveFile = QString::fromStdString((target / "a.txt").string());
    strip_.selectionModel()->select(strip_.model()->index(1, 0), QItemSelectionModel::Select);
    for (const bool allow : {false, true}) {
        desktop_.allowReplace = allow;
        strip_.SaveSelectedAs();
        EXPECT_EQ(ReadAll(desktop_.saveFile), allow ? "two" : "kept");
    }
}

struct CodePageCase {
    const char* label;
    std::optional<std::int32_t> codePage;  // none: the message names none
    Bytes name;                            // 8-bit, in the message's code page
    std::u16string shown;
};

Bytes Terminated(Bytes bytes) {
    bytes.push_back(0);
    return bytes;
}

// The strip, the opened and dragged copies, Save As and Save All read an
// 8-bit name alike: in the message's code page.
TEST_F(AttachmentStripTest, EightBitNamesOnDiskAreTheNamesTheStripShows) {
    const CodePageCase cases[] = {
        {"Cyrillic", 1251, {0xCE, 0xF2, 0xF7, 0xE5, 0xF2, '.', 't', 'x', 't'}, u"Отчет.txt"},
        {"Greek",
         1253,
         {0xD3, 0xE7, 0xEC, 0xE5, 0xDF, 0xF9, 0xF3, 0xE7, '.', 't', 'x', 't'},
         u"Σημείωση.txt"},
        {"Western", 1252, {'c', 'a', 'f', 0xE9, '.', 't', 'x', 't'}, u"café.txt"},
        {"no code page: Western",
         std::nullopt,
         {0xC4, 'r', 'g', 'e', 'r', '.', 't', 'x', 't'},
         u"Ärger.txt"},
    };
    for (const CodePageCase& c : cases) {
        SCOPED_TRACE(c.label);
        desktop_ = RecordedDesktop{};
        messages_.texts.clear();
        std::vector<PropInput> mailProps;
        if (c.codePage)
            mailProps.push_back({prop::kInternetCodePage, 0x03, LongBytes(*c.codePage)});
        strip_.Fill(records_.Mail(
            records_.Map(mailProps), {},
            {records_.Attachment(
                {{prop::kAttachLongFilename, 0x001E, Terminated(c.name)}, Data("report")})}));
        const QString shown = QString::fromStdU16String(c.shown);
        ASSERT_EQ(strip_.model()->index(0, 0).data().toString(), shown);

        strip_.OpenItem(0);
        std::unique_ptr<QMimeData> dragged(strip_.model()->mimeData({strip_.model()->index(0, 0)}));
        ScratchDir folder;
        desktop_.saveFolder = QString::fromStdString(folder.Path().string());
        strip_.SaveAll();
        strip_.selectionModel()->select(strip_.model()->index(0, 0),
                                        QItemSelectionModel::ClearAndSelect);
        strip_.SaveSelectedAs();

        ASSERT_EQ(desktop_.opened.size(), 1u);
        EXPECT_EQ(QFileInfo(desktop_.opened[0]).fileName(), shown);
        ASSERT_NE(dragged, nullptr);
        EXPECT_EQ(QFileInfo(dragged->urls().value(0).toLocalFile()).fileName(), shown);
        EXPECT_EQ(ReadAll(QString::fromStdString(folder.Path().string()) + "/" + shown), "report");
        EXPECT_EQ(desktop_.suggestedNames, std::vector<QString>{shown});
        EXPECT_TRUE(messages_.texts.empty());
    }
}

TEST_F(AttachmentStripTest, OpenCommandOpensTheFirstSelectedItem) {
    strip_.Fill(records_.Mail(
        records_.Map({}), {},
        {records_.Attachment({Text(prop::kAttachLongFilename, u"first.txt"), Data("1")}),
         records_.Attachment({Text(prop::kAttachLongFilename, u"second.txt"), Data("2")}),
         records_.Attachment({Text(prop::kAttachLongFilename, u"third.txt"), Data("3")})}));
    strip_.RunCommand(CListCtrlAttach::kOpenCommand);  // nothing selected
    EXPECT_TRUE(desktop_.opened.empty());
    for (const int row : {2, 1})
        strip_.selectionModel()->select(strip_.model()->index(row, 0), QItemSelectionModel::Select);
    strip_.RunCommand(CListCtrlAttach::kOpenCommand);
    ASSERT_EQ(desktop_.opened.size(), 1u);
    EXPECT_EQ(ReadAll(desktop_.opened[0]), "2");
    // Enter does what Open does.
    QTest::keyClick(&strip_, Qt::Key_Return);
    ASSERT_EQ(desktop_.opened.size(), 2u);
    EXPECT_EQ(ReadAll(desktop_.opened[1]), "2");
}

}  // namespace
}  // namespace velmora::test
