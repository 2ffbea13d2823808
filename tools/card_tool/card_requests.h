// The requests of many cards, made ahead of the cards on a few threads so that the requests of
// different cards overlap. Each is the window program's own request (the same routine, URL and
// arguments, so bounded as its requests are); the window thread takes each card's replies in
// input order, and while it makes that card the card generation's requests are answered from
// them instead of being made again.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tools/card_tool/card_ids.h"

namespace quorlin::card_tool {

// One request as it went: its URL, the body, and what it gave back in its variables.
struct FinishedExchange {
  std::string url;
  std::string body;
  std::string method;
  std::string replyHeaders;
  std::string replyCookies;
};

struct CardReplies {
  FinishedExchange profile;    // body: the profile panel as text; empty when nothing came back
  std::string portrait;        // the portrait value of the reply
  bool portraitAsked = false;  // the portrait request was made (online portraits, a value found)
  FinishedExchange portraitPicture;
};

class CardRequests {
 public:
  // Starts the threads; the portrait is asked for only when `onlinePortrait`. Bad IDs are
  // skipped (their replies stay empty).
  CardRequests(const std::vector<CardId>& ids, bool onlinePortrait);
  ~CardRequests();  // waits for the requests under way, starts no more
  CardRequests(const CardRequests&) = delete;
  CardRequests& operator=(const CardRequests&) = delete;

  // Card `index`'s replies once its requests are done; each card is taken once, in order.
  CardReplies Take(size_t index);

 private:
  struct Slot {
    const CardId* id = nullptr;
    bool done = false;
    CardReplies replies;
  };
  void Work();

  bool onlinePortrait_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Slot> slots_;
  size_t next_ = 0;   // the next card whose requests start
  size_t taken_ = 0;  // the cards the window thread has taken
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

// While set, the card generation's requests whose URL is one of the card's are answered from
// `replies` (each once), on whatever thread the generation makes them; null answers none again.
void AnswerRequestsFrom(const CardReplies* replies);

}  // namespace quorlin::card_tool
