#include "tools/card_tool/card_run.h"

#include <unistd.h>

#include <cstdio>
#include <string>

#include "app/card/profile_reply.h"
#include "app/settings/app_settings.h"
#include "graphics/pictures/picture_kind.h"
#include "tools/card_tool/card_files.h"
#include "tools/card_tool/card_maker.h"
#include "tools/card_tool/card_requests.h"
#include "tools/card_tool/progress_bar.h"

namespace quorlin::card_tool {
namespace {

constexpr size_t kIdsBeforeProgressBar = 10;

const char* const kBadId = "bad ID";
const char* const kProfileNotReachable = "profile not reachable";
const char* const kNoPortrait = "no portrait";
const char* const kNoPicture = "no card picture";
const char* const kCannotWrite = "cannot write";

bool IsPicture(const std::string& bytes) {
  return pictures::DetectPictureKind(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()) !=
         pictures::PictureKind::None;
}

// Why the card cannot be made from these replies, or null.
const char* ReplyProblem(const CardReplies& replies, bool onlinePortrait) {
  if (app::ProfileBroughtNothing(replies.profile.body.c_str())) return kProfileNotReachable;
  if (onlinePortrait && (!replies.portraitAsked || !IsPicture(replies.portraitPicture.body))) return kNoPortrait;
  return nullptr;
}

class Report {
 public:
  explicit Report(size_t total) : bar_(stderr, total, isatty(STDERR_FILENO) && total > kIdsBeforeProgressBar) {}

  // The bar is taken away first: standard output may be the same terminal.
  void Written(const CardId& id, const std::string& path) {
    bar_.Hide();
    Line(stdout, id, path);
    Next();
  }
  void Failed(const CardId& id, const std::string& reason) {
    bar_.Hide();
    Line(stderr, id, reason);
    failed_ = true;
    Next();
  }
  bool AnyFailed() const { return failed_; }

 private:
  static void Line(std::FILE* stream, const CardId& id, const std::string& text) {
    const std::string line = id.given + "\t" + text + "\n";
    std::fwrite(line.data(), 1, line.size(), stream);
    std::fflush(stream);
  }
  void Next() { bar_.Show(++done_); }

  ProgressBar bar_;
  size_t done_ = 0;
  bool failed_ = false;
};

}  // namespace

int MakeCards(const CardOptions& options, const std::filesystem::path& outFolder, const std::vector<CardId>& ids) {
  CardMaker maker(options.smallCard);
  const bool onlinePortrait = app::Settings().onlineAvatar == 1;
  CardRequests requests(ids, onlinePortrait);
  Report report(ids.size());
  for (size_t i = 0; i < ids.size(); ++i) {
    const CardId& id = ids[i];
    const CardReplies replies = requests.Take(i);
    if (!id.usable) {
      report.Failed(id, kBadId);
      continue;
    }
    if (const char* problem = ReplyProblem(replies, onlinePortrait)) {
      report.Failed(id, problem);
      continue;
    }
    const CardMaker::Card card = maker.Make(id, replies);
    if (card.messageShown) {
      report.Failed(id, kProfileNotReachable);  // the generation's own word for a failed fetch
      continue;
    }
    if (card.picture.empty()) {
      report.Failed(id, kNoPicture);
      continue;
    }
    const uint8_t* bytes = card.picture.data();
    size_t size = card.picture.size();
    std::optional<std::vector<uint8_t>> png;
    if (options.format == CardFormat::Png) {
      png = BmpToPng(bytes, size);
      if (!png) {
        report.Failed(id, kNoPicture);
        continue;
      }
      bytes = png->data();
      size = png->size();
    }
    const std::filesystem::path path = CardFilePath(options.outFolder, id.fileName, options.format);
    std::string error;
    if (!ReplaceFileAtomically(outFolder / path.filename(), bytes, size, &error)) {
      report.Failed(id, std::string(kCannotWrite) + ": " + error);
      continue;
    }
    report.Written(id, path.string());
  }
  return report.AnyFailed() ? 1 : 0;
}

}  // namespace quorlin::card_tool
