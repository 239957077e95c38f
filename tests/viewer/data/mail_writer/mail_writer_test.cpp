// Messages built by hand written as Internet messages and read back with the
// MIME library: which header each stored field becomes and how non-ASCII and
// hostile texts are encoded, the MIME structure of bodies and attachments, the
// mbox entry, and files that stay whole when the disk fills.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <numeric>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "common/property_ids.h"
#include "messaging/mime/gmime_ref.h"
#include "tests/viewer/data/mail_access/record_builder.h"
#include "viewer/data/mail_access/record_getters.h"
#include "viewer/data/mail_writer/folder_conversion.h"
#include "viewer/data/mail_writer/mbox_entry.h"
#include "viewer/data/mail_writer/mime_message.h"
#include "viewer/data/mail_writer/ordered_work.h"
#include "viewer/data/mail_writer/output_files.h"

namespace velmora::test {
namespace {

namespace prop = common::prop;
namespace ptype = common::ptype;
using messaging::GRef;

constexpr char kFallbackId[] = "1a.feed@velmora";

PropInput Text(std::uint16_t id, const std::u16string& text) {
    return {id, ptype::kUnicode, Utf16BytesTerminated(text)};
}
PropInput Long(std::uint16_t id, std::int32_t value) {
    return {id, ptype::kLong, LongBytes(value)};
}
PropInput Time(std::uint16_t id, std::uint64_t fileTime) {
    Bytes bytes;
    for (int i = 0; i < 8; ++i) bytes.push_back(static_cast<std::uint8_t>(fileTime >> (8 * i)));
    return {id, ptype::kSysTime, bytes};
}
PropInput Binary(std::uint16_t id, const std::string& bytes) {
    return {id, ptype::kBinary, Bytes(bytes.begin(), bytes.end())};
}

std::string Written(const MailEntry& mail, MailWriteOptions options = {}) {
    const GRef<GMimeMessage> message(NewMimeMessage(mail, kFallbackId, options));
    return MessageBytes(message.get(), LineEnds::kCrLf);
}

GMimeMessage* ReadBack(const std::string& text) {
    const GRef<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(text.data(), text.size()));
    const GRef<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    return g_mime_parser_construct_message(parser.get(), nullptr);
}

std::string HeaderBlock(const std::string& text) {
    return text.substr(0, text.find("\r\n\r\n") + 2);
}

// A header as a mail program shows it: addresses and subject decoded, any other as written.
std::string Shown(GMimeMessage* message, const std::string& field) {
    static const std::map<std::string, GMimeAddressType> kAddressFields = {
        {"From", GMIME_ADDRESS_TYPE_FROM}, {"Sender", GMIME_ADDRESS_TYPE_SENDER},
        {"To", GMIME_ADDRESS_TYPE_TO},     {"Cc", GMIME_ADDRESS_TYPE_CC},
        {"Bcc", GMIME_ADDRESS_TYPE_BCC},
    };
    const char* value = nullptr;
    std::string shown;
    if (field == "Subject") {
        value = g_mime_message_get_subject(message);
    } else if (const auto found = kAddressFields.find(field); found != kAddressFields.end()) {
        char* list = internet_address_list_to_string(
            g_mime_message_get_addresses(message, found->second), nullptr, FALSE);
        shown = list != nullptr ? list : "";
        g_free(list);
        return shown;
    } else {
        value = g_mime_object_get_header(GMIME_OBJECT(message), field.c_str());
    }
    return value != nullptr ? value : "";
}

struct HeaderCase {
    const char* name;
    std::vector<PropInput> props;
    std::vector<std::vector<PropInput>> recipients;
    std::map<std::string, std::string> shown;  // "" when the header must be absent
};

TEST(MailWriterHeaders, EachStoredFieldBecomesTheHeaderMailProgramsRead) {
    const HeaderCase cases[] = {
        {"non-ASCII names and subject are encoded words",
         {Text(prop::kSubject, u"Grüße aus Köln — 東京"), Text(prop::kSenderName, u"Jörg Müller"),
          Text(prop::kSenderSmtpAddress, u"joerg@example.org")},
         {{Text(prop::kDisplayName, u"Zoë Ångström"), Text(prop::kSmtpAddress, u"zoe@example.org"),
           Long(prop::kRecipientType, 1)}},
         {{"Subject", "Grüße aus Köln — 東京"},
          {"From", "Jörg Müller <joerg@example.org>"},
          {"To", "Zoë Ångström <zoe@example.org>"}}},
        {"a line break in a stored text starts no header",
         {Text(prop::kSubject, u"Hello\r\nBcc: victim@example.org"),
          Text(prop::kSenderName, u"Eve\nX-Evil: 1"),
          Text(prop::kSenderSmtpAddress, u"eve@example.org")},
         {},
         {{"Subject", "Hello  Bcc: victim@example.org"},
          {"Bcc", ""},
          {"X-Evil", ""},
          {"From", "\"Eve X-Evil: 1\" <eve@example.org>"}}},
        {"To, Cc and Bcc by recipient type; an address without @ is a name alone",
         {Text(prop::kSubject, u"Minutes")},
         {{Text(prop::kDisplayName, u"Ann"), Text(prop::kSmtpAddress, u"ann@example.org"),
           Long(prop::kRecipientType, 1)},
          {Text(prop::kDisplayName, u"Bob"), Text(prop::kEmailAddress, u"/o=Org/cn=bob"),
           Text(prop::kAddressType, u"EX"), Long(prop::kRecipientType, 2)},
          {Text(prop::kDisplayName, u"Cy"), Text(prop::kEmailAddress, u"cy@example.org"),
           Text(prop::kAddressType, u"SMTP"), Long(prop::kRecipientType, 3)}},
         {{"To", "Ann <ann@example.org>"}, {"Cc", "Bob"}, {"Bcc", "Cy <cy@example.org>"}}},
        {"stored ids, reply and importance; submit time as Date",
         {Text(prop::kSubject, u"Re: plan"), Text(prop::kInternetMessageId, u"<abc@example.org>"),
          Text(prop::kInReplyToId, u"<prev@example.org>"), Long(prop::kImportance, 2),
          Time(prop::kClientSubmitTime, 132'000'000'000'000'000ULL)},
         {},
         {{"Message-Id", "<abc@example.org>"},
          {"In-Reply-To", "<prev@example.org>"},
          {"Importance", "high"},
          {"Date", "Wed, 17 Apr 2019 18:40:00 +0000"}}},
        {"no stored id: the stable one; no importance stored: none written",
         {Text(prop::kSubject, u"Plain")},
         {},
         {{"Message-Id", std::string("<") + kFallbackId + ">"}, {"Importance", ""}}},
        {"sent on behalf: From is whom for, Sender who sent it",
         {Text(prop::kSentRepresentingName, u"Boss"),
          Text(prop::kSentRepresentingSmtpAddress, u"boss@example.org"),
          Text(prop::kSenderName, u"Assistant"), Text(prop::kSenderSmtpAddress, u"pa@example.org")},
         {},
         {{"From", "Boss <boss@example.org>"}, {"Sender", "Assistant <pa@example.org>"}}},
        {"stored Internet headers are kept; only the MIME structure is new",
         {Text(prop::kSubject, u"What the store shows"),
          Text(prop::kTransportMessageHeaders,
               u"Received: from mx.example.org by mail.example.net; Mon, 1 Jan 2001 00:00:00 "
               u"+0000\r\nFrom: Orig <orig@example.org>\r\nSubject: As sent\r\nDate: Mon, 1 Jan "
               u"2001 00:00:00 +0000\r\nMessage-ID: <orig@example.org>\r\nMIME-Version: "
               u"1.0\r\nContent-Type: multipart/mixed; boundary=gone\r\n\r\nbody text")},
         {},
         {{"Subject", "As sent"},
          {"From", "Orig <orig@example.org>"},
          {"Message-Id", "<orig@example.org>"},
          {"Date", "Mon, 1 Jan 2001 00:00:00 +0000"},
          {"Received", "from mx.example.org by mail.example.net; Mon, 1 Jan 2001 00:00:00 +0000"}}},
    };
    for (const HeaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        RecordBuilder records;
        std::vector<RecipientRow*> recipients;
        for (const auto& row : c.recipients) recipients.push_back(records.Recipient(row));
        const std::string text = Written(*records.Mail(records.Map(c.props), recipients));
        const std::string headers = HeaderBlock(text);
        for (const char byte : headers)
            ASSERT_LT(static_cast<unsigned char>(byte), 0x80) << headers;
        EXPECT_EQ(headers.find("\r\nContent-Type:"), headers.rfind("\r\nContent-Type:")) << headers;
        const GRef<GMimeMessage> message(ReadBack(text));
        ASSERT_TRUE(message);
        for (const auto& [field, expected] : c.shown)
            EXPECT_EQ(Shown(message.get(), field), expected) << field << " in\n" << headers;
    }
}

// The leaf parts and attached messages of a message, in order, as "type name".
void Outline(GMimeObject* object, int depth, std::ostringstream& out) {
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    char* type = g_mime_content_type_get_mime_type(g_mime_object_get_content_type(object));
    out << indent << type;
    g_free(type);
    if (GMIME_IS_PART(object)) {
        const char* name = g_mime_part_get_filename(GMIME_PART(object));
        const char* id = g_mime_object_get_content_id(object);
        if (name != nullptr) out << " " << name;
        if (id != nullptr) out << " <" << id << ">";
    }
    out << "\n";
    if (GMIME_IS_MULTIPART(object)) {
        for (int i = 0; i < g_mime_multipart_get_count(GMIME_MULTIPART(object)); ++i)
            Outline(g_mime_multipart_get_part(GMIME_MULTIPART(object), i), depth + 1, out);
    } else if (GMIME_IS_MESSAGE_PART(object)) {
        GMimeMessage* inner = g_mime_message_part_get_message(GMIME_MESSAGE_PART(object));
        if (inner != nullptr) Outline(g_mime_message_get_mime_part(inner), depth + 1, out);
    }
}

std::string OutlineOf(const std::string& text) {
    const GRef<GMimeMessage> message(ReadBack(text));
    std::ostringstream out;
    if (message) Outline(g_mime_message_get_mime_part(message.get()), 0, out);
    return out.str();
}

std::string PartBytes(const std::string& text, const char* fileName) {
    const GRef<GMimeMessage> message(ReadBack(text));
    GMimePartIter* iter = g_mime_part_iter_new(GMIME_OBJECT(message.get()));
    std::string bytes = "(no such part)";
    do {
        GMimeObject* part = g_mime_part_iter_get_current(iter);
        if (!GMIME_IS_PART(part) || g_mime_part_get_filename(GMIME_PART(part)) == nullptr ||
            std::string(g_mime_part_get_filename(GMIME_PART(part))) != fileName)
            continue;
        const GRef<GMimeStream> out(g_mime_stream_mem_new());
        g_mime_data_wrapper_write_to_stream(g_mime_part_get_content(GMIME_PART(part)), out.get());
        GByteArray* array = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
        bytes.assign(reinterpret_cast<const char*>(array->data), array->len);
    } while (g_mime_part_iter_next(iter));
    g_mime_part_iter_free(iter);
    return bytes;
}

TEST(MailWriterParts, BodiesAndAttachmentsTakeTheirStandardShape) {
    const std::string binary("\x00\xFF\r\n\x80 From x\n", 12);
    const std::string longName =
        "Prüfbericht über die Sanierung der Brücke am Nordufer, zweiter Bauabschnitt.pdf";
    struct PartCase {
        const char* name;
        std::vector<PropInput> props;
        std::vector<std::vector<PropInput>> attachments;
        MailWriteOptions options;
        std::string outline;
        std::string contains = {};  // in the written message, when not empty
    };
    const std::vector<PartCase> cases = {
        {"plain text alone", {Text(prop::kBody, u"Hello")}, {}, {}, "text/plain\n"},
        {"plain and HTML as alternatives; a picture the HTML shows travels beside it",
         {Text(prop::kBody, u"Hi"), Binary(prop::kBodyHtml, "<img src=\"cid:logo@x\">")},
         {{Text(prop::kAttachLongFilename, u"logo.png"), Text(prop::kAttachMimeTag, u"image/png"),
           Text(prop::kAttachContentId, u"logo@x"), Binary(prop::kAttachDataBin, "PNG")},
          {Text(prop::kAttachLongFilename, u"unused.png"), Text(prop::kAttachContentId, u"n@x"),
           Binary(prop::kAttachDataBin, "PNG2")}},
         {},
         "multipart/mixed\n  multipart/alternative\n    text/plain\n    multipart/related\n"
         "      text/html\n      image/png logo.png <logo@x>\n"
         "  application/octet-stream unused.png <n@x>\n"},
        {"a long non-ASCII name and bytes of every kind",
         {Text(prop::kBody, u"See attached")},
         {{{prop::kAttachLongFilename, ptype::kUnicode,
            Utf16BytesTerminated(u"Prüfbericht über die Sanierung der Brücke am Nordufer, "
                                 u"zweiter Bauabschnitt.pdf")},
           Text(prop::kAttachMimeTag, u"application/pdf"),
           Binary(prop::kAttachDataBin, binary)}},
         {},
         "multipart/mixed\n  text/plain\n  application/pdf " + longName + "\n"},
        {"data of a message type travels as bytes, not as parts to parse",
         {Text(prop::kBody, u"Delivery report")},
         {{Text(prop::kAttachLongFilename, u"details.txt"),
           Text(prop::kAttachMimeTag, u"message/delivery-status"),
           Binary(prop::kAttachDataBin, "Reporting-MTA: dns; x")}},
         {},
         "multipart/mixed\n  text/plain\n  application/octet-stream details.txt\n"},
        {"an RTF body alone becomes HTML; the RTF itself only when asked",
         {{prop::kRtfCompressed, ptype::kBinary, UncompressedRtf("{\\rtf1\\ansi Quarry\\par}")}},
         {},
         {},
         "text/html\n"},
        {"the RTF kept",
         {{prop::kRtfCompressed, ptype::kBinary, UncompressedRtf("{\\rtf1\\ansi Quarry\\par}")}},
         {},
         {.keepRtf = true},
         "multipart/mixed\n  text/html\n  application/rtf body.rtf\n"},
    };
    for (const PartCase& c : cases) {
        SCOPED_TRACE(c.name);
        RecordBuilder records;
        std::vector<AttachmentRow*> attachments;
        for (const auto& row : c.attachments) attachments.push_back(records.Attachment(row));
        const std::string text =
            Written(*records.Mail(records.Map(c.props), {}, attachments), c.options);
        EXPECT_EQ(OutlineOf(text), c.outline) << text;
        if (!c.contains.empty()) {
            EXPECT_NE(text.find(c.contains), std::string::npos) << text;
        }
        if (c.outline.find(longName) != std::string::npos) {
            EXPECT_EQ(PartBytes(text, longName.c_str()), binary);
        }
    }
}

TEST(MailWriterParts, AttachedMessagesNestAsDeepAsTheViewRendersThem) {
    RecordBuilder records;
    MailEntry* inner = records.Mail(records.Map({Text(prop::kSubject, u"level 30")}));
    for (int level = 29; level >= 0; --level) {
        AttachmentRow* row = records.Attachment({Long(prop::kAttachMethod, 5)});
        row->embedded = inner;
        inner = records.Mail(records.Map({Text(prop::kSubject, u"level")}), {}, {row});
    }
    const std::string outline = OutlineOf(Written(*inner));
    std::size_t messages = 0;
    for (std::size_t at = 0; (at = outline.find("message/rfc822", at)) != std::string::npos; ++at)
        ++messages;
    EXPECT_EQ(messages, static_cast<std::size_t>(kMaxAttachedMessageDepth - 1)) << outline;
}

TEST(MboxEntry, FromLinesInTheMessageAreQuotedAndTheEntryEndsWithAnEmptyLine) {
    const std::string from = MboxFromLine("ann@example.org", 1'555'249'600);
    EXPECT_EQ(from, "From ann@example.org Sun Apr 14 13:46:40 2019\n");
    EXPECT_EQ(MboxFromLine("two words", std::nullopt),
              "From MAILER-DAEMON Thu Jan  1 00:00:00 1970\n");
    EXPECT_EQ(MboxEntry(from, "Subject: x\n\nFrom here\n>From there\nFromage\n>>From x\nend"),
              from + "Subject: x\n\n>From here\n>>From there\nFromage\n>>>From x\nend\n\n");
}

// Files may grow to `limit` bytes while this lives: a write beyond fails as on a full disk.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t limit) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limited{limit, saved_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }

  private:
    rlimit saved_{};
};

TEST(OutputFiles, AFullDiskLeavesNoMessageCutShort) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("velmora-output-" + std::to_string(getpid()));
    std::filesystem::create_directories(folder);
    const std::string entry(600, 'x');
    OutputFailure failure;
    {
        const FileSizeLimit limit(1000);
        EXPECT_FALSE(WriteWholeFile(folder / "big.eml", std::string(5000, 'x'), false, failure));
        EXPECT_EQ(failure.path, folder / "big.eml");
        EXPECT_FALSE(failure.exists);
        MboxFile mbox;
        ASSERT_TRUE(mbox.Create(folder / "Inbox.mbox", false, failure));
        EXPECT_TRUE(mbox.Append(entry, failure));
        EXPECT_FALSE(mbox.Append(entry, failure));
        EXPECT_TRUE(mbox.Close(failure));
    }
    EXPECT_EQ(std::filesystem::file_size(folder / "Inbox.mbox"), entry.size());
    EXPECT_TRUE(WriteWholeFile(folder / "small.eml", "x", false, failure));
    EXPECT_FALSE(WriteWholeFile(folder / "small.eml", "y", false, failure));
    EXPECT_TRUE(failure.exists);
    MboxFile again;
    EXPECT_FALSE(again.Create(folder / "Inbox.mbox", false, failure));
    EXPECT_TRUE(WriteWholeFile(folder / "small.eml", "y", true, failure));
    std::vector<std::string> names;
    for (const auto& file : std::filesystem::directory_iterator(folder))
        names.push_back(file.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Inbox.mbox", "small.eml"}));
    std::ifstream small(folder / "small.eml");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(small), {}), "y");
    std::filesystem::remove_all(folder);
}

// Folders of built records, each listing its messages as the engine's ranged enumeration does.
class RecordBinding final : public CPFFDataParserInterFace {
  public:
    void SetMails(FolderEntry* folder, std::vector<MailEntry*> mails) {
        lists_.emplace_back();
        folder->mails = &lists_.back();
        mails_[folder] = std::move(mails);
    }
    // Reads before the one during which the user stops the conversion; the
    // engine then hands out nothing, as when the stop comes before the batch's
    // first message. Negative: no stop.
    void StopAtRead(int reads) {
        readsBeforeStop_ = reads;
        stopWord_ = 0;
    }
    int EnumChildMailsRange(FolderEntry* folder, OpenStatus*, std::uint32_t first,
                            std::uint32_t maximum) override {
        std::vector<MailEntry*>& all = mails_[folder];
        shown_[folder].clear();
        if (readsBeforeStop_-- == 0) stopWord_ = CORVEX_STOP_STATE;
        for (std::size_t i = first;
             stopWord_ == 0 && i < all.size() && shown_[folder].size() < maximum; ++i)
            shown_[folder].push_back(all[i]);
        folder->mails->entries = {shown_[folder].data(),
                                  static_cast<std::uint32_t>(shown_[folder].size()), 0};
        return 1;
    }
    int Test(std::u16string, std::u16string) override { return 0; }
    int Create(std::u16string, std::u16string, OpenStatus*) override { return 0; }
    int Parse(std::u16string, std::u16string, OpenStatus*) override { return 0; }
    int EnumRootFolder(void*) override { return 0; }
    int EnumChildFolder(FolderEntry*, OpenStatus*) override { return 0; }
    int EnumChildMails(FolderEntry*, OpenStatus*) override { return 0; }
    int EnumChildMailsNext(FolderEntry*, void*) override { return 0; }
    int SaveMailBody(void*) override { return 0; }
    int SaveAttachment(void*) override { return 0; }
    int DeletePFFData(OpenStatus*) override { return 0; }
    int SaveFolderHierarchy(std::uint32_t, std::uint32_t, std::u16string, int) override {
        return 0;
    }
    int EnumAllFolders(OpenStatus*) override { return 0; }
    EngineHandle* Handle() const override { return &handle_; }

  private:
    std::int32_t stopWord_ = 0;
    int readsBeforeStop_ = -1;
    StatusBlock status_{&stopWord_, nullptr, 0, nullptr};
    mutable EngineHandle handle_{nullptr, nullptr, nullptr, &status_};
    std::deque<MailList> lists_;
    std::map<FolderEntry*, std::vector<MailEntry*>> mails_;
    std::map<FolderEntry*, std::vector<MailEntry*>> shown_;
};

std::vector<std::string> FilesBelow(const std::filesystem::path& folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        files.push_back(std::filesystem::relative(entry.path(), folder).string());
    std::sort(files.begin(), files.end());
    return files;
}

// Names a hostile store may give its folders and subjects stay names inside
// the target; same-named folders, and a folder named like another's mbox file,
// are kept apart.
TEST(FolderConversion, WhateverTheStoreNamesItWritesOnlyBelowTheTarget) {
    RecordBuilder records;
    RecordBinding binding;
    FolderEntry* inner = records.Folder(u"..");
    const std::vector<FolderEntry*> folders = {
        records.Folder(u"../../escape", {inner}), records.Folder(u"Inbox"),
        records.Folder(u"Inbox.mbox"), records.Folder(u"Inbox"), records.Folder(u"/")};
    for (FolderEntry* folder :
         {inner, folders[0], folders[1], folders[2], folders[3], folders[4]}) {
        binding.SetMails(folder, {records.Mail(records.Map({Text(prop::kSubject, u"../../x")})),
                                  records.Mail(records.Map({Text(prop::kSubject, u"..")}))});
    }
    const std::filesystem::path work =
        std::filesystem::temp_directory_path() / ("velmora-names-" + std::to_string(getpid()));
    for (const MailFormat format : {MailFormat::kEml, MailFormat::kMbox}) {
        std::filesystem::remove_all(work);
        ConversionRequest request;
        request.format = format;
        request.output = work / "out";
        FolderConversion conversion(binding, request);
        ASSERT_EQ(conversion.Convert(folders), ConversionEnd::kDone);
        EXPECT_EQ(conversion.MessagesWritten(), 12u);
        std::vector<std::string> top;
        for (const auto& entry : std::filesystem::directory_iterator(work))
            top.push_back(entry.path().filename().string());
        EXPECT_EQ(top, std::vector<std::string>{"out"});
        const std::string m1 = "/00001 .._.._x.eml", m2 = "/00002 .._.eml";
        std::vector<std::string> expected = format == MailFormat::kEml
                                                ? std::vector<std::string>{".._.._escape",
                                                                           ".._.._escape" + m1,
                                                                           ".._.._escape" + m2,
                                                                           ".._.._escape/__",
                                                                           ".._.._escape/__" + m1,
                                                                           ".._.._escape/__" + m2,
                                                                           "Inbox",
                                                                           "Inbox" + m1,
                                                                           "Inbox" + m2,
                                                                           "Inbox.mbox",
                                                                           "Inbox.mbox" + m1,
                                                                           "Inbox.mbox" + m2,
                                                                           "Inbox (2)",
                                                                           "Inbox (2)" + m1,
                                                                           "Inbox (2)" + m2,
                                                                           "_",
                                                                           "_" + m1,
                                                                           "_" + m2}
                                                : std::vector<std::string>{".._.._escape.mbox",
                                                                           ".._.._escape",
                                                                           ".._.._escape/__.mbox",
                                                                           "Inbox.mbox",
                                                                           "Inbox.mbox (2).mbox",
                                                                           "Inbox (2).mbox",
                                                                           "_.mbox"};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(FilesBelow(work / "out"), expected);
    }
    std::filesystem::remove_all(work);
}

// The window's Cancel reaches the engine while it reads a batch: the batch
// comes back short, which is no end of the folder. The conversion says it
// was stopped, keeps what it wrote whole, and begins no folder after it.
TEST(FolderConversion, AStopWhileTheEngineReadsEndsItAsStopped) {
    RecordBuilder records;
    RecordBinding binding;
    FolderEntry* first = records.Folder(u"First");
    FolderEntry* second = records.Folder(u"Second");
    std::vector<MailEntry*> many;
    for (int i = 0; i < 300; ++i)
        many.push_back(records.Mail(records.Map({Text(prop::kSubject, u"From here")})));
    binding.SetMails(first, many);
    binding.SetMails(second, {records.Mail(records.Map({Text(prop::kSubject, u"later")}))});
    const std::filesystem::path work =
        std::filesystem::temp_directory_path() / ("velmora-stop-" + std::to_string(getpid()));
    for (const MailFormat format : {MailFormat::kEml, MailFormat::kMbox}) {
        std::filesystem::remove_all(work);
        binding.StopAtRead(1);
        ConversionRequest request;
        request.format = format;
        request.output = work;
        FolderConversion conversion(binding, request);
        EXPECT_EQ(conversion.Convert({first, second}), ConversionEnd::kStopped);
        const std::size_t written = conversion.MessagesWritten();
        EXPECT_GT(written, 0u);
        EXPECT_LT(written, many.size());
        std::size_t found = 0;
        if (format == MailFormat::kMbox) {
            std::ifstream file(work / "First.mbox", std::ios::binary);
            for (std::string line; std::getline(file, line);) found += line.starts_with("From ");
            EXPECT_EQ(FilesBelow(work), std::vector<std::string>{"First.mbox"});
        } else {
            found = FilesBelow(work).size() - 1;
            EXPECT_FALSE(std::filesystem::exists(work / "Second"));
        }
        EXPECT_EQ(found, written);
    }
    std::filesystem::remove_all(work);
}

// Messages built on two threads are written in folder order, never more
// than the bound ahead of the writing; a writer that stops ends the run, and
// a build that throws on the helper reaches the caller.
TEST(OrderedWork, ResultsAreTakenInOrderWithinTheBoundAndStopsAndFailuresEndTheRun) {
    struct Case {
        const char* name;
        std::size_t count, ahead, stopAfter, throwAt;  // npos: never
        bool finished;
        std::size_t taken;
    };
    constexpr std::size_t kNever = std::string::npos;
    const Case cases[] = {
        {"all in order", 200, 4, kNever, kNever, true, 200},
        {"one at a time", 50, 1, kNever, kNever, true, 50},
        {"a single item", 1, 4, kNever, kNever, true, 1},
        {"nothing", 0, 4, kNever, kNever, true, 0},
        {"the writer stops", 200, 4, 17, kNever, false, 18},
        {"a build fails", 200, 4, kNever, 33, false, 33},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Items whose making has begun and that are not taken yet: never more than the bound.
        std::atomic<std::size_t> started{0}, outstanding{0}, widest{0};
        std::vector<std::size_t> taken;
        const auto make = [&](std::size_t i) {
            ++started;
            const std::size_t waiting = ++outstanding;
            for (std::size_t seen = widest;
                 waiting > seen && !widest.compare_exchange_weak(seen, waiting);) {
            }
            if (i == c.throwAt) throw std::runtime_error("no memory");
            std::this_thread::sleep_for(std::chrono::microseconds(i % 3 == 0 ? 200 : 0));
            return std::to_string(i);
        };
        const auto take = [&](std::size_t i, const std::string& text) {
            EXPECT_EQ(text, std::to_string(i));
            taken.push_back(i);
            --outstanding;
            return i != c.stopAfter;
        };
        bool finished = false, threw = false;
        try {
            finished = TakeInOrder<std::string>(c.count, c.ahead, make, take);
        } catch (const std::runtime_error&) {
            threw = true;
        }
        EXPECT_EQ(threw, c.throwAt != kNever);
        EXPECT_EQ(finished, c.finished);
        // A failure may come before the items made ahead of it are taken.
        if (threw) {
            EXPECT_LE(taken.size(), c.taken);
        } else {
            EXPECT_EQ(taken.size(), c.taken);
        }
        std::vector<std::size_t> inOrder(taken.size());
        std::iota(inOrder.begin(), inOrder.end(), 0);
        EXPECT_EQ(taken, inOrder);
        EXPECT_LE(widest.load(), c.ahead);
        EXPECT_LE(started.load(), c.taken + c.ahead + 1);
    }
}

}  // namespace
}  // namespace velmora::test
