#include "songs/chosen_songs.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>

#include "songs/song_listening.h"
#include "songs/song_tags.h"

namespace fenwhit {

namespace {

// Listening must never take the frame loop's processor time.
void LowerThisThreadsPriority() {
  setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
}

}  // namespace

ChosenSongs::ChosenSongs(std::string cacheFolder, uint64_t shuffleSeed, SongListLimits limits)
    : cache_(std::move(cacheFolder)), limits_(limits), shuffle_(shuffleSeed) {
  worker_ = std::thread([this] { Work(); });
}

ChosenSongs::~ChosenSongs() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
    cancel_ = true;
  }
  wake_.notify_all();
  worker_.join();
}

bool ChosenSongs::Choose(const std::string& path) {
  SongList list = ListSongs(path, limits_);
  const std::lock_guard lock(mutex_);
  if (list.paths.empty()) {
    Trouble(path, list.why);
    return false;
  }
  std::shuffle(list.paths.begin(), list.paths.end(), shuffle_);
  path_ = path;
  order_ = std::move(list.paths);
  nextIndex_ = 0;
  passedOver_.clear();
  ready_.reset();
  ownMusic_ = false;
  ++generation_;
  StopListening();
  wake_.notify_all();
  return true;
}

void ChosenSongs::SetOwnMusic(bool own) {
  const std::lock_guard lock(mutex_);
  ownMusic_ = own;
  if (own) StopListening();
  wake_.notify_all();
}

void ChosenSongs::GiveUpListening() {
  SetOwnMusic(true);
}

void ChosenSongs::StopListening() {
  if (listening_) cancel_ = true;
}

bool ChosenSongs::OwnMusic() const {
  const std::lock_guard lock(mutex_);
  return ownMusic_;
}

std::string ChosenSongs::Path() const {
  const std::lock_guard lock(mutex_);
  return path_;
}

bool ChosenSongs::NeedsListening() const {
  return !stopping_ && !order_.empty() && !ownMusic_ && !ready_ && !listening_ &&
         passedOver_.count(order_[nextIndex_]) == 0;
}

bool ChosenSongs::Busy() const {
  const std::lock_guard lock(mutex_);
  return listening_;
}

bool ChosenSongs::ListeningForNextGame() const {
  const std::lock_guard lock(mutex_);
  return !ownMusic_ && !ready_ && (listening_ || NeedsListening());
}

ChosenSongsView ChosenSongs::View() const {
  const std::lock_guard lock(mutex_);
  ChosenSongsView view;
  view.chosen = !order_.empty();
  view.ownMusic = ownMusic_;
  if (!ownMusic_ && !ready_ && (listening_ || NeedsListening())) view.listening = progress_.load();
  if (!ownMusic_) view.next = ready_;
  view.troubleName = troubleName_;
  view.troubleWhy = troubleWhy_;
  view.troubleSerial = troubleSerial_;
  return view;
}

void ChosenSongs::Trouble(const std::string& path, const std::string& why) {
  troubleName_ = SongFileTitle(path);
  troubleWhy_ = why;
  ++troubleSerial_;
}

void ChosenSongs::Advance() {
  if (order_.empty()) return;
  const std::string last = order_[nextIndex_];
  for (size_t step = 0; step < order_.size(); ++step) {
    if (++nextIndex_ >= order_.size()) {
      nextIndex_ = 0;
      Reshuffle(last);
    }
    if (passedOver_.count(order_[nextIndex_]) == 0) return;
  }
}

void ChosenSongs::Reshuffle(const std::string& last) {
  std::shuffle(order_.begin(), order_.end(), shuffle_);
  // A new round never starts with the song just played.
  const auto playable = [this](const std::string& path) { return passedOver_.count(path) == 0; };
  const auto first = std::find_if(order_.begin(), order_.end(), playable);
  if (first == order_.end() || *first != last) return;
  const auto second = std::find_if(first + 1, order_.end(), playable);
  if (second != order_.end()) std::iter_swap(first, second);
}

std::optional<PreparedSong> ChosenSongs::TakeReady() {
  const std::lock_guard lock(mutex_);
  if (ownMusic_ || !ready_) return std::nullopt;
  PreparedSong song = std::move(*ready_);
  ready_.reset();
  Advance();
  // One song plays game after game without being listened to again.
  if (order_[nextIndex_] == song.path && passedOver_.count(song.path) == 0) ready_ = song;
  wake_.notify_all();
  return song;
}

std::optional<PreparedSong> ChosenSongs::TakeSongForGame() {
  return TakeReady();
}

std::optional<PreparedSong> ChosenSongs::TakeSongAfter(const PreparedSong& current) {
  (void)current;
  return TakeReady();
}

void ChosenSongs::CannotPlay(const std::string& path, const std::string& why) {
  const std::lock_guard lock(mutex_);
  Trouble(path, why);
  if (std::find(order_.begin(), order_.end(), path) == order_.end()) return;
  passedOver_.insert(path);
  if (ready_ && ready_->path == path) ready_.reset();
  if (order_[nextIndex_] == path) Advance();
  wake_.notify_all();
}

void ChosenSongs::Work() {
  LowerThisThreadsPriority();
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || NeedsListening(); });
    if (stopping_) return;
    const std::string path = order_[nextIndex_];
    const uint64_t generation = generation_;
    listening_ = true;
    progress_ = 0.0;
    cancel_ = false;
    lock.unlock();
    ListenedSong listened = ListenToSong(
        path, cache_, [this](double done) { progress_ = done; }, cancel_);
    if (listened.analysed) ++analyses_;
    lock.lock();
    listening_ = false;
    // A new choice, Esc, or a word that the song cannot play came meanwhile.
    if (generation != generation_ || listened.cancelled || passedOver_.count(path) != 0) continue;
    if (listened.song) {
      ready_ = std::move(listened.song);
    } else {
      Trouble(path, listened.why);
      passedOver_.insert(path);
      Advance();
    }
  }
}

}  // namespace fenwhit
