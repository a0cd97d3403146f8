#include "install/download_outcome.h"

#include <wininet.h>

#include <gtest/gtest.h>

#include "install/archive_signature.h"

namespace {

using install::DownloadFacts;
using install::HttpStatusOf;
using install::JudgeDownload;
using install::Outcome;
using install::ProgressPosition;

TEST(HttpStatusTest, ReadsTheStatusLine) {
  EXPECT_EQ(200, HttpStatusOf("HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n"));
  EXPECT_EQ(404, HttpStatusOf("HTTP/1.0 404 Not Found\r\n\r\n"));
  EXPECT_EQ(500, HttpStatusOf("HTTP/1.1  500\r\n"));
  EXPECT_EQ(302, HttpStatusOf("HTTP/1.1 302"));
}

TEST(HttpStatusTest, AnythingElseHasNoStatus) {
  for (const char* text :
       {"", "HTTP/1.1", "HTTP/1.1 ", "HTTP/1.1 20", "HTTP/1.1 2000 Big", "HTTP/1.1 OK",
        "Content-Length: 200\r\nHTTP/1.1 200 OK\r\n", "http/1.1 200 OK", "ICY 200 OK"}) {
    EXPECT_EQ(0, HttpStatusOf(text)) << text;
  }
}

TEST(JudgeDownloadTest, OnlyAWhole200ResponseIsComplete) {
  EXPECT_EQ(Outcome::kReady, JudgeDownload({0, 200, 5000, 5000, false}));
  // Without a Content-Length the end of the data is the end of the archive.
  EXPECT_EQ(Outcome::kReady, JudgeDownload({0, 200, 0, 5000, false}));
  EXPECT_EQ(Outcome::kReady, JudgeDownload({0, 200, 0, 0, false}));
}

TEST(JudgeDownloadTest, NetworkErrorsErrorPagesAndShortBodiesFail) {
  EXPECT_EQ(Outcome::kDownloadFailed, JudgeDownload({12002, 200, 5000, 4096, false}));  // time-out
  EXPECT_EQ(Outcome::kDownloadFailed, JudgeDownload({12029, 0, 0, 0, false}));  // no connection
  EXPECT_EQ(Outcome::kDownloadFailed, JudgeDownload({0, 404, 85, 85, false}));
  EXPECT_EQ(Outcome::kDownloadFailed, JudgeDownload({0, 500, 0, 20, false}));
  EXPECT_EQ(Outcome::kDownloadFailed, JudgeDownload({0, 0, 100, 100, false}));  // no status line
  // The connection closed before the announced length, even if no error was reported.
  EXPECT_EQ(Outcome::kDownloadFailed, JudgeDownload({0, 200, 5000, 4999, false}));
}

TEST(JudgeDownloadTest, AnArchiveThatCouldNotBeWrittenIsNotSaved) {
  // The page stops the transfer itself then, so the body is short and no error is reported.
  EXPECT_EQ(Outcome::kNotSaved, JudgeDownload({0, 200, 5000, 4096, true}));
  EXPECT_EQ(Outcome::kNotSaved, JudgeDownload({12002, 200, 5000, 4096, true}));
}

TEST(JudgeDownloadTest, AProxyThatWantsCredentialsIsAFailureOfItsOwn) {
  EXPECT_EQ(Outcome::kProxyAuthRequired, JudgeDownload({0, 407, 120, 120, false}));
  EXPECT_EQ(install::ExitCodeOf(Outcome::kProxyAuthRequired), 4);
}

// What a continuation is checked against: the validator it asks with, the range it gets.
TEST(ResponseHeadersTest, ValidatorAndContentRange) {
  const auto head = [](const std::string& lines) { return "HTTP/1.1 206 Partial\r\n" + lines; };
  EXPECT_EQ(install::ValidatorOf(head("etag:  \"a-1\" \r\nLast-Modified: x\r\n")), "\"a-1\"");
  EXPECT_EQ(install::ValidatorOf(head("Last-Modified: Wed, 09 Dec 2026\r\n")), "Wed, 09 Dec 2026");
  EXPECT_EQ(install::ValidatorOf(head("ETag: W/\"a\"\r\nLast-Modified: x\r\n")), "");
  EXPECT_EQ(install::ValidatorOf(head("X-ETag: \"a\"\r\n")), "");

  const auto range = install::ContentRangeOf(head("Content-Range: bytes 100-199/200\r\n"));
  ASSERT_TRUE(range);
  EXPECT_EQ(range->first, 100u);
  EXPECT_EQ(range->total, 200u);
  for (const char* bad : {"bytes */200", "bytes 100-199/*", "bytes 5-4/9", "bytes 0-9/9",
                          "items 0-1/2", "bytes 0-1/2x", "bytes 99999999999999999999-1/2"}) {
    EXPECT_FALSE(install::ContentRangeOf(head(std::string("Content-Range: ") + bad + "\r\n")))
        << bad;
  }
}

TEST(ProgressPositionTest, PercentRoundedToNearestWithTiesToEven) {
  EXPECT_EQ(0, ProgressPosition(0, 1000));
  EXPECT_EQ(41, ProgressPosition(4096, 10000));  // 40.96
  EXPECT_EQ(2, ProgressPosition(5, 200));        // 2.5 rounds to the even 2
  EXPECT_EQ(4, ProgressPosition(7, 200));        // 3.5 rounds to the even 4
  EXPECT_EQ(100, ProgressPosition(1000, 1000));
  EXPECT_EQ(100, ProgressPosition(0xFFFFFFFF, 0xFFFFFFFF));
}

TEST(ProgressPositionTest, StaysWithinTheBarWhateverTheCounts) {
  EXPECT_EQ(0, ProgressPosition(123456, 0));  // no Content-Length: the lowest position
  EXPECT_EQ(100, ProgressPosition(2000, 1000));
}

// Only a server that says it has no signature, or sends something that is none, calls the
// archive not genuine; a signature that cannot be had is a failed download, as the archive's
// own would be.
TEST(SignatureReplyTest, OnlyAMissingOrWrongSignatureIsNotGenuine) {
  EXPECT_EQ(install::JudgeSignatureReply(200, 0), Outcome::kReady);
  EXPECT_EQ(install::JudgeSignatureReply(404, 0), Outcome::kNotGenuine);
  EXPECT_EQ(install::JudgeSignatureReply(410, 0), Outcome::kNotGenuine);
  EXPECT_EQ(install::JudgeSignatureReply(200, ERROR_FILE_TOO_LARGE), Outcome::kNotGenuine);
  EXPECT_EQ(install::JudgeSignatureReply(503, 0), Outcome::kDownloadFailed);
  EXPECT_EQ(install::JudgeSignatureReply(403, 0), Outcome::kDownloadFailed);
  EXPECT_EQ(install::JudgeSignatureReply(0, ERROR_INTERNET_TIMEOUT), Outcome::kDownloadFailed);
  EXPECT_EQ(install::JudgeSignatureReply(200, ERROR_INTERNET_CONNECTION_RESET),
            Outcome::kDownloadFailed);
  EXPECT_EQ(install::JudgeSignatureReply(0, ERROR_INTERNET_CANNOT_CONNECT),
            Outcome::kDownloadFailed);
}

}  // namespace
