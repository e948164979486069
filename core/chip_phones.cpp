#include "core/chip_phones.h"

namespace cantora::chip {

namespace {

// In code order. Variants the speech library cannot tell apart (front and back, initial and
// final consonants) share a phone. The comment gives the tool tip's example words.
const AllophonePhones kTable[kAllophoneCount] = {
    {"IY", "iy"},       // See, Even, Feed
    {"IH", "ih"},       // Sit, Fix, Pin
    {"EY", "ey"},       // Hate, Made, Day
    {"EH", "eh"},       // Met, Bed, Head
    {"AY", "ae"},       // Hat, Fast, Fan
    {"AX", "ah"},       // About, Cup, Sun
    {"UX", "aa"},       // Hot, Clock, Fox
    {"AW", "aa"},       // Father, Calm, Wasp
    {"OH", "ao"},       // Talk, Song, Bought
    {"OW", "ow"},       // Zone, Close, Snow
    {"UH", "uh"},       // Book, Could, Should
    {"UW", "uw"},       // Food, Blue, Too
    {"MM", "m"},        // Milk, Lamb, Him
    {"NE", "n"},        // Knee, Ten, Nip
    {"NO", "n"},        // No, Snow, On
    {"NGE", "ng"},      // Sing, Think, King
    {"NGO", "ng"},      // Hung, Song, Long
    {"LE", "l"},        // Lake, Alarm, Leaf
    {"LO", "l"},        // Clock, Plus, Hello
    {"WW", "w"},        // Wool, Sweat, Wet
    {"RR", "r"},        // Rag, Ray, Run
    {"IYRR", "ih r"},   // Clear, Hear, Year
    {"EYRR", "eh r"},   // Hair, Stair, Repair
    {"AXRR", "er"},     // Fir, Bird, Hurt
    {"AWRR", "aa r"},   // Part, Farm, Yarn
    {"OWRR", "ao r"},   // Store, Corn, Four
    {"EYIY", "ey"},     // Day, Gray, Say
    {"OHIY", "oy"},     // Boy, Toy, Voice
    {"OWIY", "oy"},     // Oil, Coin, Noise
    {"OHIH", "ay"},     // I, Sky, Five
    {"IYEH", "iy ah"},  // Idea, Ear, Near
    {"EHLE", "eh l"},   // Bell, Well, Tell
    {"IYUW", "y uw"},   // You, Few, Cute
    {"AXUW", "ow"},     // Coat, Boat, Phone
    {"IHWW", "y uw"},   // New, Nude, Dew
    {"AYWW", "aw"},     // Out, How, Down
    {"OWWW", "ow"},     // Go, Slow, Show
    {"JH", "jh"},       // Jet, Dodge, Savage
    {"VV", "v"},        // Vest, Even, Van
    {"ZZ", "z"},        // Zoo, Zap, Buzz
    {"ZH", "zh"},       // Azure, Treasure, Vision
    {"DH", "dh"},       // There, That, This
    {"BE", "b"},        // Bee, Bed, Bit
    {"BO", "b"},        // Bone, Book, Bought
    {"EB", "b"},        // Web, Fib, Ebb
    {"OB", "b"},        // Cob, Mob, Job
    {"DE", "d"},        // Deep, Date, Dim
    {"DO", "d"},        // Do, Dough, Dull
    {"ED", "d"},        // Bed, Red, Said
    {"OD", "d"},        // Could, Food, Good
    {"GE", "g"},        // Get, Gift, Geese
    {"GO", "g"},        // Go, Got, Gum
    {"EG", "g"},        // Big, Peg, Leg
    {"OG", "g"},        // Dog, Log, Bug
    {"CH", "ch"},       // Church, Cheap, Chin
    {"HE", "hh"},       // Help, Hand, Heel
    {"HO", "hh"},       // Hoe, Hot, Hug
    {"WH", "w"},        // Who, Whale, White (the voice has no join from "hh" to "w")
    {"FF", "f"},        // Food, Fan, Fish
    {"SE", "s"},        // Salt, Sit, See
    {"SO", "s"},        // So, Soap, Sun
    {"SH", "sh"},       // Ship, Wish, Sure
    {"TH", "th"},       // Thin, Month, Thick
    {"TT", "t"},        // Tart, Test, Time
    {"TU", "t"},        // Tune, Tool, Tooth
    {"TS", "t s"},      // Parts, Costs, Robots
    {"KE", "k"},        // Key, Kit, Can't
    {"KO", "k"},        // Comb, Coat, Cut
    {"EK", "k"},        // Peek, Tick, Deck
    {"OK", "k"},        // Book, Took, Rock
    {"PE", "p"},        // People, Pit, Pen
    {"PO", "p"},        // Pow, Pole, Pot
};

}  // namespace

const AllophonePhones* AllophonePhoneTable() {
    return kTable;
}

const char* PhonesForCode(int code) {
    if (code < 128 || code >= 128 + kAllophoneCount) {
        return "";
    }
    return kTable[code - 128].phones;
}

}  // namespace cantora::chip
