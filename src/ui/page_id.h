#pragma once

#include <array>

namespace tesslow {

// The wizard's pages in their order; the value is the page's index.
enum class PageId { Welcome, InsertDisc, Tracks, Format, Quality, Destination, Ready, Progress, Final };
inline constexpr int kPageCount = 9;

enum class SkinKind { Aero, Classic };

// What the frame knows of each page: its template ids per skin (jumps and the
// restart select pages by them), its Aero header title and its help context
// (0: none).
struct PageFacts {
    PageId id;
    int classicTemplate;
    int aeroTemplate;
    const char* aeroTitle;
    int helpContext;
};

inline constexpr std::array<PageFacts, kPageCount> kPageFacts{{
    {PageId::Welcome, 135, 136, "Welcome to Tesslow", 1},
    {PageId::InsertDisc, 138, 137, "Waiting for audio disc", 0},
    {PageId::Tracks, 207, 208, "Select audio tracks", 2},
    {PageId::Format, 216, 217, "Select audio format", 3},
    {PageId::Quality, 219, 218, "Select audio quality", 4},
    {PageId::Destination, 222, 221, "Select output folder and file names", 5},
    {PageId::Ready, 226, 225, "Ready to start", 0},
    {PageId::Progress, 228, 227, "Ripping...", 0},
    {PageId::Final, 248, 247, "Completing Tesslow", 0},
}};

constexpr const PageFacts& FactsOf(PageId id) { return kPageFacts[static_cast<int>(id)]; }

constexpr int TemplateId(PageId id, SkinKind skin)
{
    return skin == SkinKind::Classic ? FactsOf(id).classicTemplate : FactsOf(id).aeroTemplate;
}

}  // namespace tesslow
