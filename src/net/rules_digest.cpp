#include "net/rules_digest.h"

#include <string_view>

// The flags the rules are built with are the digest's: this file has them too.
#include "game/same_arithmetic.h"
#include "replay/replay_file.h"

namespace fenwhit {

namespace {

constexpr size_t kMaxDigestBytes = 64;

#define FENWHIT_TEXT(x) #x
#define FENWHIT_NUMBER(x) FENWHIT_TEXT(x)

constexpr std::string_view kCompiler =
#if defined(__clang__)
    "clang " FENWHIT_NUMBER(__clang_major__) "." FENWHIT_NUMBER(__clang_minor__) "." FENWHIT_NUMBER(
        __clang_patchlevel__);
#elif defined(__GNUC__)
    "gcc " FENWHIT_NUMBER(__GNUC__) "." FENWHIT_NUMBER(__GNUC_MINOR__) "." FENWHIT_NUMBER(
        __GNUC_PATCHLEVEL__);
#else
    "unknown-compiler";
#endif

// Fused multiply-adds are off in every file (the build says so here); -ffast-math cannot
// build the rules at all.
constexpr std::string_view kArithmetic =
#if defined(FENWHIT_FP_CONTRACT_OFF)
    "strict-fp";
#else
    "fused-fp";
#endif

// What follows the version in the hello's digest, or the whole digest if it does not begin
// with the version.
std::string_view BuildOf(const NetHello& hello) {
  std::string_view digest = hello.rulesDigest;
  const std::string prefix = hello.gameVersion + " ";
  if (digest.starts_with(prefix)) digest.remove_prefix(prefix.size());
  return digest;
}

std::string Describe(const NetHello& hello) {
  return hello.gameVersion + " (" + std::string(BuildOf(hello)) + ")";
}

}  // namespace

std::string RulesDigest() {
  std::string digest = FENWHIT_VERSION " ";
  digest += ThisArchitecture();
  digest += ' ';
  digest += kCompiler;
  digest += ' ';
  digest += kArithmetic;
  if (digest.size() > kMaxDigestBytes) digest.resize(kMaxDigestBytes);
  return digest;
}

std::string DescribeMismatch(const NetHello& mine, const NetHello& theirs) {
  return "this game is " + Describe(mine) + ", the other " + Describe(theirs);
}

}  // namespace fenwhit
