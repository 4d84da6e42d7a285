// String and StringName: ordering, prefixes, encodings, numbers, splitting, interning.

#include "engine_errors.hpp"

#include <godot_cpp/variant/variant.hpp>

#include <thread>
#include <vector>

using namespace godot;

namespace {

class Strings : public EngineErrors {};

TEST_F(Strings, OrderIsByCodePointWithPrefixFirst) {
	EXPECT_TRUE(String("Water") < String("ale"));
	EXPECT_TRUE(String("Z") < String("a"));
	EXPECT_TRUE(String("a10") < String("a9"));
	EXPECT_TRUE(String("ab") < String("abc"));
	EXPECT_FALSE(String("abc") < String("ab"));
	EXPECT_TRUE(String("") < String("a"));
	EXPECT_FALSE(String("") < String(""));
	EXPECT_TRUE(String::utf8("é") > String("z"));
	EXPECT_TRUE(String::utf8("\xf0\x9f\x98\x80") > String::utf8("\xef\xbf\xbf")); // beyond the BMP sorts last
}

TEST_F(Strings, BeginsWith) {
	EXPECT_TRUE(String("guest_12").begins_with("guest"));
	EXPECT_TRUE(String("guest").begins_with(""));
	EXPECT_TRUE(String("").begins_with(""));
	EXPECT_FALSE(String("gu").begins_with("guest"));
	EXPECT_FALSE(String("Guest").begins_with("guest"));
	EXPECT_TRUE(StringName("guest_12").begins_with("guest_"));
	EXPECT_TRUE(String("a.gd").ends_with(".gd"));
}

TEST_F(Strings, Utf8RoundTripAndLatin1CStrings) {
	const String text = String::utf8("h\xc3\xa9llo \xe2\x82\xac \xf0\x9f\x98\x80");
	EXPECT_EQ(text.length(), 9);
	EXPECT_EQ(text[1], U'é');
	EXPECT_EQ(text[8], char32_t(0x1f600));
	EXPECT_EQ(String::utf8(text.utf8().get_data()), text);
	EXPECT_EQ(std::string(text.utf8().get_data()), "h\xc3\xa9llo \xe2\x82\xac \xf0\x9f\x98\x80");
	// godot-cpp reads a plain C string as Latin-1.
	EXPECT_EQ(String("\xe9").length(), 1);
	EXPECT_EQ(String("\xe9")[0], char32_t(0xe9));
	EXPECT_EQ(String("h\xc3\xa9").length(), 3);
	// Broken UTF-8 is replaced, never read past.
	EXPECT_EQ(String::utf8("a\xc3").length(), 2);
	EXPECT_EQ(String::utf8("a\xc3")[1], char32_t(0xfffd));
	EXPECT_EQ(String::utf8("abc", 2), "ab");
	EXPECT_EQ(String(U"wide \U0001F600").utf16().length(), 7);
}

TEST_F(Strings, IntegersToAndFromText) {
	EXPECT_EQ(itos(-42), "-42");
	EXPECT_EQ(itos(INT64_MIN), "-9223372036854775808");
	EXPECT_EQ(String::num_int64(255, 16), "ff");
	EXPECT_EQ(String::num_int64(255, 16, true), "FF");
	EXPECT_EQ(String::num_uint64(UINT64_MAX), "18446744073709551615");
	EXPECT_EQ(String("  42").to_int(), 42);
	EXPECT_TRUE(String("-12").is_valid_int());
	EXPECT_FALSE(String("1.5").is_valid_int());
	EXPECT_TRUE(String("1.5e3").is_valid_float());
}

TEST_F(Strings, FloatsToText) {
	EXPECT_EQ(String::num(3.14159, 2), "3.14");
	EXPECT_EQ(String::num(2.5), "2.5");
	EXPECT_EQ(String::num(100.0), "100");
	EXPECT_EQ(String::num_real(2.0), "2.0");
	EXPECT_EQ(String::num_real(2.0, false), "2");
	EXPECT_EQ(String::num_real(1e20), "100000000000000000000");
	EXPECT_EQ(String::num_real(-0.5), "-0.5");
	EXPECT_EQ(rtos(0.25), "0.25");
}

TEST_F(Strings, FloatParsingQuirks) {
	EXPECT_EQ(String("1.5e").to_float(), 15.0); // the engine skips the scaling
	EXPECT_EQ(String("-").to_float(), 0.0);
	EXPECT_EQ(String("1e-2").to_float(), 0.01);
}

TEST_F(Strings, SubstrFindAndSplit) {
	const String text = "a,b,,c";
	EXPECT_EQ(text.substr(2), "b,,c");
	EXPECT_EQ(text.substr(2, 1), "b");
	EXPECT_EQ(text.substr(-1), "");
	EXPECT_EQ(text.substr(10), "");
	EXPECT_EQ(text.find(","), 1);
	EXPECT_EQ(text.find(",", 2), 3);
	EXPECT_EQ(text.find("", 0), -1);
	EXPECT_EQ(text.rfind(","), 4);
	EXPECT_EQ(text.split(","), (PackedStringArray { "a", "b", "", "c" }));
	EXPECT_EQ(text.split(",", false), (PackedStringArray { "a", "b", "c" }));
	EXPECT_EQ(text.split(",", true, 1), (PackedStringArray { "a", "b,,c" }));
	EXPECT_EQ(String("abc").split(""), (PackedStringArray { "a", "b", "c" }));
	EXPECT_EQ(String("").split(","), (PackedStringArray { "" }));
	EXPECT_EQ(String(",").join(PackedStringArray { "x", "y" }), "x,y");
	EXPECT_EQ(String("a-b-a").replace("a", "xy"), "xy-b-xy");
	EXPECT_TRUE(String("hello").contains("ll"));
}

TEST_F(Strings, CopiesAreIndependentAfterAWrite) {
	String original = "abc";
	String copy = original;
	copy.ptrw()[0] = U'x';
	EXPECT_EQ(original, "abc");
	EXPECT_EQ(copy, "xbc");
	copy += "d";
	EXPECT_EQ(copy, "xbcd");
	EXPECT_EQ(copy.resize(3), OK);
	EXPECT_EQ(copy, "xb");
}

TEST_F(Strings, IndexPastTheEndIsReported) {
	String text = "ab";
	EXPECT_EQ(text[2], 0); // the terminator is readable
	text[5] = U'x';
	EXPECT_EQ(text, "ab");
	EXPECT_EQ(error_count(), 1u);
}

TEST_F(Strings, FormatOperator) {
	EXPECT_EQ(String("%d-%s") % Variant(Array::make(int64_t(7), "x")), "7-x");
	EXPECT_EQ(String("%05d|%-3s|%.2f") % Variant(Array::make(int64_t(-42), "a", 2.0)), "-0042|a  |2.00");
	EXPECT_EQ(String("%d") % Variant("no"), "a number is required");
	EXPECT_EQ(String("%s %s") % Variant("one"), "not enough arguments for format string");
	EXPECT_EQ(vformat("%s=%d", "k", int64_t(3)), "k=3");
}

TEST_F(Strings, StringNamesAreInterned) {
	const StringName a("shared_name");
	const StringName b(String("shared_") + "name");
	EXPECT_EQ(a, b);
	EXPECT_EQ(a._data_pointer(), b._data_pointer());
	EXPECT_NE(StringName("other"), a);
	EXPECT_NE(StringName("shared_nam"), a);
	// A C string reads as Latin-1 whether the name is new or already known.
	EXPECT_EQ(StringName("caf\xe9"), StringName(String(U"caf\u00e9")));
	EXPECT_EQ(StringName(String(U"na\u00efve")), StringName("na\xefve"));
	EXPECT_TRUE(StringName("").is_empty());
	EXPECT_EQ(StringName(""), StringName());
	EXPECT_EQ(String(a), "shared_name");
	EXPECT_TRUE(a == String("shared_name"));
	EXPECT_TRUE(String("shared_name") == a);
	EXPECT_EQ(a.length(), 11);
}

TEST_F(Strings, StringNameOrderIsByIdentityAndConsistent) {
	const StringName x("x"), y("y");
	EXPECT_NE(x < y, y < x);
	EXPECT_EQ(x < y, StringName("x") < StringName("y"));
}

TEST_F(Strings, InterningIsThreadSafe) {
	std::vector<std::thread> threads;
	std::vector<const void *> seen(4);
	for (int t = 0; t < 4; t++) {
		threads.emplace_back([t, &seen]() {
			for (int i = 0; i < 2000; i++) {
				StringName name(String("concurrent_") + itos(i % 50));
				if (i == 1999) {
					seen[size_t(t)] = StringName("concurrent_49")._data_pointer();
				}
			}
		});
	}
	for (std::thread &thread : threads) {
		thread.join();
	}
	for (const void *pointer : seen) {
		EXPECT_EQ(pointer, seen[0]);
	}
}

TEST_F(Strings, NamesKeepTheirOwnText) {
	String text = "mutable";
	const StringName name(text);
	text.ptrw()[0] = U'M';
	EXPECT_EQ(String(name), "mutable");
}

} // namespace
