#include "tools/card_tool/card_requests.h"

#include <algorithm>
#include <chrono>

#include "app/card/card_urls.h"
#include "app/card/profile_reply.h"
#include "app/support/dll_commands.h"
#include "app/support/runtime_calls.h"
#include "app/web/web_request.h"

namespace quorlin::card_tool {
namespace {

// A few at a time, and never too far ahead of the cards being made.
constexpr size_t kRequestThreads = 4;
constexpr size_t kCardsAhead = 16;

FinishedExchange Exchange(std::string url, bool asText) {
  FinishedExchange exchange;
  exchange.url = std::move(url);
  app::OwnedText method, replyHeaders, replyCookies;
  app::web::WebRequestArguments arguments;
  arguments.url = exchange.url.c_str();
  arguments.method = &method;
  arguments.replyHeaders = &replyHeaders;
  arguments.replyCookies = &replyCookies;
  if (asText) {
    const app::OwnedText body = app::web::WebRequestText(arguments);
    exchange.body = body.view();
  } else {
    const app::OwnedBytes body = app::web::WebRequest(arguments);
    exchange.body.assign(reinterpret_cast<const char*>(body.data()), body.size());
  }
  exchange.method = method.view();
  exchange.replyHeaders = replyHeaders.view();
  exchange.replyCookies = replyCookies.view();
  return exchange;
}

CardReplies RequestCard(const CardId& id, bool onlinePortrait) {
  CardReplies replies;
  replies.profile = Exchange(std::string(app::ProfileUrlOf(id.gbk.c_str()).view()), true);
  replies.portrait = app::PortraitOf(replies.profile.body.c_str()).view();
  if (onlinePortrait && !replies.portrait.empty()) {  // an empty reply has no portrait value
    replies.portraitAsked = true;
    replies.portraitPicture = Exchange(std::string(app::PortraitUrlOf(replies.portrait.c_str()).view()), false);
  }
  return replies;
}

// Set on the threads that make the requests ahead: their own requests are never answered.
thread_local bool t_requestingAhead = false;

// The replies the card generation's requests are answered from, and which were handed out.
struct Answers {
  std::mutex mutex;
  const CardReplies* replies = nullptr;
  bool profileGiven = false;
  bool portraitGiven = false;
};

Answers& CurrentAnswers() {
  static Answers answers;
  return answers;
}

app::OwnedText CopyText(const std::string& text) { return app::OwnedText::Copy(text); }

bool AnswerRequest(const app::web::WebRequestArguments& arguments, app::OwnedBytes& body) {
  Answers& answers = CurrentAnswers();
  std::lock_guard lock(answers.mutex);
  if (t_requestingAhead || !answers.replies || !arguments.url) return false;
  const FinishedExchange* exchange = nullptr;
  if (!answers.profileGiven && answers.replies->profile.url == arguments.url) {
    answers.profileGiven = true;
    exchange = &answers.replies->profile;
  } else if (!answers.portraitGiven && answers.replies->portraitAsked &&
             answers.replies->portraitPicture.url == arguments.url) {
    answers.portraitGiven = true;
    exchange = &answers.replies->portraitPicture;
  }
  if (!exchange) return false;
  body = app::OwnedBytes::Copy(exchange->body.data(), exchange->body.size());
  if (arguments.method) *arguments.method = CopyText(exchange->method);
  if (arguments.replyHeaders) *arguments.replyHeaders = CopyText(exchange->replyHeaders);
  if (arguments.replyCookies) *arguments.replyCookies = CopyText(exchange->replyCookies);
  return true;
}

// The requests resolve their DLL commands on first use; that happens here, on one thread,
// before several threads make requests at once.
void ResolveRequestCommands() {
  app::CallDll(app::DllCommand::CoInitialize, 'i', "p", {0});
  app::CallDll(app::DllCommand::CoUninitialize, 'v', "", {});
}

}  // namespace

void AnswerRequestsFrom(const CardReplies* replies) {
  Answers& answers = CurrentAnswers();
  std::lock_guard lock(answers.mutex);
  answers.replies = replies;
  answers.profileGiven = answers.portraitGiven = false;
  app::web::SetFinishedExchangeSource(replies ? &AnswerRequest : nullptr);
}

CardRequests::CardRequests(const std::vector<CardId>& ids, bool onlinePortrait) : onlinePortrait_(onlinePortrait) {
  slots_.resize(ids.size());
  for (size_t i = 0; i < ids.size(); ++i) slots_[i].id = &ids[i];
  ResolveRequestCommands();
  const size_t threads = std::min(kRequestThreads, ids.size());
  for (size_t i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
}

CardRequests::~CardRequests() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void CardRequests::Work() {
  t_requestingAhead = true;
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || next_ >= slots_.size() || next_ < taken_ + kCardsAhead; });
    if (stopping_ || next_ >= slots_.size()) return;
    Slot& slot = slots_[next_++];
    if (slot.id->usable) {
      lock.unlock();
      CardReplies replies = RequestCard(*slot.id, onlinePortrait_);
      lock.lock();
      slot.replies = std::move(replies);
    }
    slot.done = true;
    changed_.notify_all();
  }
}

CardReplies CardRequests::Take(size_t index) {
  std::unique_lock lock(mutex_);
  // Waits in short steps, letting the window thread's messages through: a thread that ends the
  // program hands the end to this thread by a message.
  while (!slots_[index].done) {
    if (changed_.wait_for(lock, std::chrono::milliseconds(50)) == std::cv_status::timeout) {
      lock.unlock();
      app::ProcessPendingMessages();
      lock.lock();
    }
  }
  taken_ = std::max(taken_, index + 1);
  changed_.notify_all();
  return std::move(slots_[index].replies);
}

}  // namespace quorlin::card_tool
