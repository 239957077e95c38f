// The calls the message rebuild makes on the component, recorded for real
// messages and for hand-built ones, against the described call tables.
#include <gtest/gtest.h>

#include <map>

#include "common/path_text.h"
#include "common/utf16_text.h"
#include "tests/viewer/data/mail_access/record_builder.h"
#include "tests/viewer/data/rebuild/corpus_messages.h"
#include "tests/viewer/data/rebuild/recording_component.h"
#include "viewer/data/mail_access/exported_value.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/rebuild/mail_save_as_interface.h"
#include "viewer/data/work_folder/work_folder.h"

namespace velmora::test {
namespace {

using messaging::InvokeKind;

struct ExpectedPut {
    messaging::DispatchId id;
    InvokeKind kind;
    std::string typePrefix;
};

// Message properties by id: what the component must receive for each.
const std::map<std::uint16_t, ExpectedPut> kMessageTable = {
    {0x0002, {0x07, InvokeKind::PropertyPut, "BOOL:"}},
    {0x0017, {0x1B, InvokeKind::PropertyPut, "I4:"}},
    {0x001A, {0x1E, InvokeKind::PropertyPut, "BSTR:"}},
    {0x0036, {0x36, InvokeKind::PropertyPut, "I4:"}},
    {0x0037, {0x00, InvokeKind::PropertyPut, "BSTR:"}},
    {0x0039, {0x39, InvokeKind::PropertyPut, "DATE:"}},
    {0x0040, {0x26, InvokeKind::PropertyPut, "BSTR:"}},
    {0x0070, {0x11, InvokeKind::PropertyPut, "BSTR:"}},
    {0x0C1A, {0x34, InvokeKind::PropertyPut, "BSTR:"}},
    {0x0C1F, {0x32, InvokeKind::PropertyPut, "BSTR:"}},
    {0x0E06, {0x29, InvokeKind::PropertyPut, "DATE:"}},
    {0x1000, {0x0B, InvokeKind::PropertyPut, "BSTR:"}},
    {0x1009, {0x47, InvokeKind::Method, "I4:1"}},
    {0x1013, {0x47, InvokeKind::Method, "I4:5"}},
    {0x5909, {0x0C, InvokeKind::PropertyPut, "I4:"}},
};
const std::map<std::uint16_t, messaging::DispatchId> kAttachmentTable = {{0x3001, 0x67},
                                                                         {0x3704, 0x68},
                                                                         {0x370E, 0x6003001C},
                                                                         {0x3712, 0x60030018},
                                                                         {0x3713, 0x6003001D}};

std::string Text(const std::u16string& text) {
    return common::Utf16ToUtf8(text);
}

bool IsZero(const std::vector<std::uint8_t>& bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

// Walks the recorded calls in order, checking each against what the message's
// records say. An attached message is rebuilt in a message object of its own,
// saved as a file and attached, before the attachments after it.
class CallChecker {
  public:
    explicit CallChecker(const std::vector<RecordedCall>& calls) : calls_(calls) {}

    void Check(const MailEntry& mail, const std::u16string& target) {
        Expect("session", 0x6002001E, InvokeKind::Method);
        EXPECT_EQ(Last().args,
                  (std::vector<std::string>{"BSTR:" + Text(GetWorkFolder()) + "/TempMail.msg",
                                            "I4:0", "I4:0"}));
        CheckContent(mail);
        ExpectSavedAs(Text(target));
        EXPECT_EQ(next_, calls_.size());
    }

  private:
    const RecordedCall& Last() const { return calls_[next_ - 1]; }

    void Expect(const std::string& object, messaging::DispatchId id, InvokeKind kind) {
        ASSERT_LT(next_, calls_.size()) << "missing call 0x" << std::hex << id;
        const RecordedCall& call = calls_[next_++];
        EXPECT_EQ(call.object, object);
        EXPECT_EQ(call.id, id) << "call " << next_ - 1 << " on " << object;
        EXPECT_EQ(call.kind, kind) << "call 0x" << std::hex << id;
    }

    void ExpectSavedAs(const std::string& target) {
        Expect("message", 0x48, InvokeKind::Method);
        EXPECT_EQ(Last().args, (std::vector<std::string>{"BSTR:" + target, "I4:1028"}));
    }

    void CheckContent(const MailEntry& mail) {
        CheckProperties(mail);
        CheckRecipients(mail);
        CheckAttachments(mail);
    }

    void CheckProperties(const MailEntry& mail) {
        for (std::uint32_t i = 0; mail.props != nullptr && i < mail.props->count; ++i) {
            const ExportedProp& prop = *mail.props->items[i];
            const auto found = kMessageTable.find(prop.id);
            if (found == kMessageTable.end()) continue;
            if ((prop.id == 0x0039 || prop.id == 0x0E06) && IsZero(ValueBytes(prop))) continue;
            Expect("message", found->second.id, found->second.kind);
            const auto& args = Last().args;
            if (found->second.kind == InvokeKind::Method) {
                ASSERT_EQ(args.size(), 2u);
                EXPECT_EQ(args[1], found->second.typePrefix);
                EXPECT_TRUE(Last().fileExisted) << "the body file exists during the import";
                EXPECT_FALSE(
                    std::filesystem::exists(common::PathFromUtf16(Text16(args[0].substr(5)))))
                    << "deleted after";
            } else {
                ASSERT_EQ(args.size(), 1u);
                EXPECT_TRUE(args[0].starts_with(found->second.typePrefix)) << args[0];
            }
            if (prop.id == 0x0037) {
                EXPECT_EQ(args[0], "BSTR:" + Text(MailSubject(&mail)));
            }
            if (prop.id == 0x0017) {
                EXPECT_EQ(args[0], "I4:" + std::to_string(MailImportance(&mail)));
            }
        }
    }

    static std::u16string Text16(const std::string& text) { return common::Utf8ToUtf16(text); }

    void CheckRecipients(const MailEntry& mail) {
        Expect("message", 0x4D, InvokeKind::PropertyGet);
        const std::uint32_t codePage = MessageCodePage(&mail);
        for (std::uint32_t i = 0; mail.recipients != nullptr && i < mail.recipients->count; ++i) {
            const RecipientRow* row = mail.recipients->items[i];
            Expect("recipients", 0x03, InvokeKind::Method);
            EXPECT_EQ(Last().args, (std::vector<std::string>{
                                       "BSTR:" + Text(FolderName(row, codePage)),
                                       "BSTR:" + Text(RecipientAddress(row, codePage)), "BSTR:SMTP",
                                       "I4:" + std::to_string(RecipientType(row))}));
        }
    }

    // The attached message's file: created, filled and saved before it is attached.
    std::string CheckAttachedMessage(const MailEntry& inner) {
        Expect("session", 0x6002001E, InvokeKind::Method);
        const std::string path = Last().args.at(0).substr(5);
        EXPECT_TRUE(path.ends_with(".eml")) << path;
        CheckContent(inner);
        ExpectSavedAs(path);
        return path;
    }

    void CheckAttachments(const MailEntry& mail) {
        Expect("message", 0x49, InvokeKind::PropertyGet);
        const std::uint32_t codePage = MessageCodePage(&mail);
        for (std::uint32_t i = 0; mail.attachments != nullptr && i < mail.attachments->count; ++i) {
            const AttachmentRow* row = mail.attachments->items[i];
            const MailEntry* inner = AttachmentMessage(row);
            // An object the engine could not read as a message is not handed over.
            if (inner == nullptr && AttachmentHoldsObject(row)) continue;
            const std::string messageFile = inner != nullptr ? CheckAttachedMessage(*inner) : "";
            Expect("attachments", 0x65, InvokeKind::Method);
            const auto& args = Last().args;
            ASSERT_EQ(args.size(), 4u);
            EXPECT_EQ(args[1], inner != nullptr ? "I4:5" : "I4:1");
            EXPECT_EQ(args[2], "I4:" + std::to_string(PropInt(row->object, 0x370B)));
            const auto path = common::PathFromUtf16(Text16(args[0].substr(5)));
            if (inner != nullptr) {
                EXPECT_EQ(args[0].substr(5), messageFile);
                EXPECT_EQ(args[3], "BSTR:" + path.filename().string());
            } else {
                EXPECT_EQ(args[3], "BSTR:" + Text(PropText(row->object, 0x3707, codePage)));
                EXPECT_EQ(Last().fileExisted, AttachmentData(row) != nullptr) << args[0];
            }
            EXPECT_EQ(path.parent_path().parent_path(),
                      common::PathFromUtf16(GetWorkFolder()) / "MSG_BODY");
            for (std::uint32_t k = 0; k < row->object->count; ++k) {
                const auto found = kAttachmentTable.find(row->object->items[k]->id);
                if (found == kAttachmentTable.end()) continue;
                Expect("attachment", found->second, InvokeKind::PropertyPut);
                EXPECT_TRUE(Last().args.at(0).starts_with("BSTR:"));
            }
        }
    }

    const std::vector<RecordedCall>& calls_;
    std::size_t next_ = 0;
};

// Attachment folders a rebuild keeps: one per message, attached ones
// included, with an attachment whose data was written.
std::size_t FoldersWritten(const MailEntry& mail) {
    std::size_t folders = 0;
    bool wroteData = false;
    for (std::uint32_t i = 0; mail.attachments != nullptr && i < mail.attachments->count; ++i) {
        const AttachmentRow* row = mail.attachments->items[i];
        wroteData |= AttachmentData(row) != nullptr;
        if (const MailEntry* inner = AttachmentMessage(row)) folders += FoldersWritten(*inner);
    }
    return folders + (wroteData ? 1 : 0);
}

std::size_t AttachmentFolderCount() {
    const auto base = common::PathFromUtf16(GetWorkFolder()) / "MSG_BODY";
    std::error_code ignored;
    if (!std::filesystem::exists(base, ignored)) return 0;
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(base), {}));
}

class RecordedCallsTest : public ::testing::TestWithParam<std::string> {};

TEST_P(RecordedCallsTest, EveryMessageMakesTheDescribedCalls) {
    VELMORA_REQUIRE_CORPUS();
    const TestWorkFolder work;
    CorpusStore store(GetParam());
    const auto messages = store.Messages();
    ASSERT_FALSE(messages.empty());
    for (const MailEntry* mail : messages) {
        RecordingComponent component;
        const std::size_t foldersBefore = AttachmentFolderCount();
        const std::u16string target = NewScratchPath() + u".mht";
        ASSERT_TRUE(RenderSelectedMessage(mail, target));
        CallChecker(component.Log().calls).Check(*mail, target);
        EXPECT_EQ(AttachmentFolderCount(), foldersBefore + FoldersWritten(*mail))
            << "an empty folder is removed";
        if (HasFailure()) break;
    }
}

INSTANTIATE_TEST_SUITE_P(Stores, RecordedCallsTest, ::testing::ValuesIn(kMessageStores),
                         [](const auto& info) { return TestNameOf(info.param); });

// Hand-built messages for the cases the corpus does not settle.
class RebuildCasesTest : public ::testing::Test {
  protected:
    std::vector<RecordedCall> Render(const MailEntry* mail,
                                     std::vector<messaging::DispatchId> failing = {}) {
        RecordingComponent component;
        component.Log().failing = std::move(failing);
        RenderSelectedMessage(mail, NewScratchPath() + u".mht");
        return component.Log().calls;
    }
    static std::vector<std::string> Members(const std::vector<RecordedCall>& calls) {
        std::vector<std::string> members;
        for (const auto& call : calls) {
            char text[48];
            std::snprintf(text, sizeof text, "%s:%X", InvokeKindName(call.kind), call.id);
            members.push_back(text);
        }
        return members;
    }
    TestWorkFolder work_;
    RecordBuilder records_;
};

TEST_F(RebuildCasesTest, BodiesAndErrorsFollowTheTables) {
    const Bytes html = {'<', 'p', '>', 'h', 'i'};
    const Bytes undecodable = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
    const struct {
        const char* name;
        MailEntry* mail;
        std::vector<messaging::DispatchId> failing;
        std::vector<std::string> members;
    } cases[] = {
        {"text body only",
         records_.Mail(records_.Map({{0x1000, 0x1F, Utf16BytesTerminated(u"hello")}})),
         {},
         {"call:6002001E", "put:B", "get:4D", "get:49", "call:48"}},
        {"html after text, in id order",
         records_.Mail(
             records_.Map({{0x1013, 0x102, html}, {0x1000, 0x1F, Utf16BytesTerminated(u"x")}})),
         {},
         {"call:6002001E", "put:B", "call:47", "get:4D", "get:49", "call:48"}},
        {"RTF that fails its checks is not imported",
         records_.Mail(records_.Map({{0x1009, 0x102, undecodable}, {0x1013, 0x102, html}})),
         {},
         {"call:6002001E", "call:47", "get:4D", "get:49", "call:48"}},
        {"a failing put leaves the others",
         records_.Mail(records_.Map({{0x0037, 0x1F, Utf16BytesTerminated(u"s")},
                                     {0x1000, 0x1F, Utf16BytesTerminated(u"x")}})),
         {0x00},
         {"call:6002001E", "put:0", "put:B", "get:4D", "get:49", "call:48"}},
        {"a failing recipients get still saves",
         records_.Mail(records_.Map({}), {records_.Recipient({{0x0C15, 0x03, LongBytes(3)}})}),
         {0x4D},
         {"call:6002001E", "get:4D", "get:49", "call:48"}},
        {"a failed save is reported",
         records_.Mail(records_.Map({})),
         {0x48},
         {"call:6002001E", "get:4D", "get:49", "call:48"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Members(Render(c.mail, c.failing)), c.members) << c.name;
    }
}

TEST_F(RebuildCasesTest, RecipientsAndAttachmentsPassTheirValues) {
    const MailEntry* mail =
        records_.Mail(records_.Map({}),
                      {records_.Recipient({{0x3001, 0x1F, Utf16BytesTerminated(u"Bee")},
                                           {0x0C15, 0x03, LongBytes(3)}})},
                      {records_.Attachment({{0x3707, 0x1F, Utf16BytesTerminated(u"report.pdf")},
                                            {0x370B, 0x03, LongBytes(-1)},
                                            {0x3712, 0x1F, Utf16BytesTerminated(u"img@x")}}),
                       records_.Attachment({{0x3701, 0x102, {'d'}},
                                            {0x3707, 0x1F, Utf16BytesTerminated(u"report.pdf")}})});
    const auto calls = Render(mail);
    ASSERT_EQ(calls.size(), 8u);
    EXPECT_EQ(calls[2].args, (std::vector<std::string>{"BSTR:Bee", "BSTR:", "BSTR:SMTP", "I4:3"}));
    EXPECT_EQ(calls[4].args.at(2), "I4:-1");
    EXPECT_FALSE(calls[4].fileExisted) << "no data, no file, still added";
    EXPECT_EQ(calls[5].id, 0x60030018u);
    EXPECT_TRUE(calls[6].fileExisted);
    EXPECT_TRUE(calls[6].args[0].ends_with("/report (2).pdf"))
        << "names stay distinct: " << calls[6].args[0];
    EXPECT_EQ(calls[6].args[3], "BSTR:report.pdf");
}

}  // namespace
}  // namespace velmora::test
