// The transcript's text form, which tests and people read, and the option parsers.
#include <gtest/gtest.h>

#include <stdexcept>

#include "robot_sim.h"

namespace robotsim {
namespace {

TEST(TranscriptTextTest, OneRecordPerLineWithUploadsAfterTheirCommand) {
  Transcript transcript;
  transcript.commands = {"GetVersion\n", "Upload code reboot 28\n", "bad \x05\xff\\\"\r\n"};
  UploadRecord upload;
  upload.commandIndex = 1;
  upload.type = "code";
  upload.reboot = true;
  upload.announced = 28;
  upload.received = 28;
  upload.sizeFieldPresent = true;
  upload.sizeField = 24;
  upload.sizeFieldOk = true;
  upload.checksum = 0x1234abcd;
  upload.trailer = 0x1234abcd;
  upload.blockAcks = 0;
  upload.verdict = Verdict::kAck;
  upload.end = UploadEnd::kVerdict;
  transcript.uploads = {upload};
  transcript.partialLine = "GetV";
  transcript.hungUp = true;

  EXPECT_EQ(transcript.ToText(),
            "command \"GetVersion\\n\"\n"
            "command \"Upload code reboot 28\\n\"\n"
            "upload type=\"code\" reboot=yes announced=28 received=28 size_field=24 "
            "size_field_ok=yes checksum=0x1234abcd trailer=0x1234abcd block_acks=0 verdict=ACK "
            "end=verdict\n"
            "command \"bad \\x05\\xff\\\\\\\"\\r\\n\"\n"
            "partial \"GetV\"\n"
            "hangup\n");
}

TEST(TranscriptTextTest, UploadWithoutSizeField) {
  Transcript transcript;
  transcript.commands = {"Upload sound 4\n"};
  UploadRecord upload;
  upload.type = "sound";
  upload.announced = 4;
  upload.end = UploadEnd::kNoReq;
  transcript.uploads = {upload};
  EXPECT_EQ(transcript.ToText(),
            "command \"Upload sound 4\\n\"\n"
            "upload type=\"sound\" reboot=no announced=4 received=0 size_field=none "
            "size_field_ok=no checksum=0x00000000 trailer=0x00000000 block_acks=0 verdict=none "
            "end=no-req\n");
}

struct FaultCase {
  const char* text;
  Fault::Kind kind;
  long param;
  const char* canonical;
};

TEST(FaultParseTest, NamesAndDefaults) {
  const FaultCase cases[] = {
      {"silent", Fault::Kind::kSilent, 0, "silent"},
      {"late", Fault::Kind::kLate, 500, "late=500"},
      {"late=80", Fault::Kind::kLate, 80, "late=80"},
      {"split", Fault::Kind::kSplit, 150, "split=150"},
      {"garbage", Fault::Kind::kGarbage, 64, "garbage=64"},
      {"oversized", Fault::Kind::kOversized, 5000, "oversized=5000"},
      {"hangup-on-command", Fault::Kind::kHangupOnCommand, 0, "hangup-on-command"},
      {"hangup-after-bytes=0", Fault::Kind::kHangupAfterBytes, 0, "hangup-after-bytes=0"},
      {"hangup-after-bytes=70000", Fault::Kind::kHangupAfterBytes, 70000,
       "hangup-after-bytes=70000"},
      {"hangup-in-verdict", Fault::Kind::kHangupInVerdict, 0, "hangup-in-verdict"},
      {"no-req", Fault::Kind::kNoReq, 0, "no-req"},
      {"nak", Fault::Kind::kNak, 0, "nak"},
      {"no-verdict", Fault::Kind::kNoVerdict, 0, "no-verdict"},
      {"no-block-ack", Fault::Kind::kNoBlockAck, 0, "no-block-ack"},
      {"slow-reader", Fault::Kind::kSlowReader, 4096, "slow-reader=4096"},
      {"garbage-req", Fault::Kind::kGarbageReq, 0, "garbage-req"},
  };
  for (const FaultCase& c : cases) {
    SCOPED_TRACE(c.text);
    const Fault fault = Fault::Parse(c.text);
    EXPECT_EQ(fault.kind, c.kind);
    EXPECT_EQ(fault.Param(), c.param);
    EXPECT_EQ(fault.ToString(), c.canonical);
  }
}

TEST(FaultParseTest, RejectsWhatItCannotRead) {
  for (const char* text : {"", "loud", "late=", "late=-1", "late=5x", "nak=3", "garbage=0",
                           "slow-reader=0", "Silent"}) {
    SCOPED_TRACE(text);
    EXPECT_THROW(Fault::Parse(text), std::invalid_argument);
  }
}

TEST(UsbIdParseTest, NamedAndHexIdentities) {
  struct Case {
    const char* text;
    uint16_t vendor, product;
    int iface;
  };
  const Case cases[] = {{"primary", 0x1209, 0x0001, -1},
                        {"secondary", 0x04e8, 0x6850, 0},
                        {"04E8:6850", 0x04e8, 0x6850, -1},
                        {"abcd:ef01:2", 0xabcd, 0xef01, 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const UsbId id = UsbId::Parse(c.text);
    EXPECT_EQ(id.vendor, c.vendor);
    EXPECT_EQ(id.product, c.product);
    EXPECT_EQ(id.iface, c.iface);
  }
  for (const char* text : {"", "1209", "1209:", "12345:0001", "1209:0001:100", "xyz:0001"}) {
    SCOPED_TRACE(text);
    EXPECT_THROW(UsbId::Parse(text), std::invalid_argument);
  }
}

}  // namespace
}  // namespace robotsim
