#pragma once

// godot-cpp's SortArray: an introsort (median-of-3 pivot, Hoare partition, heap-sort
// fallback past 2*log2(n) levels, final insertion sort). Not stable. The comparator is a
// functor member `compare`; compare(a, b) is true when a goes strictly before b.

#include <godot_cpp/core/defs.hpp>
#include <godot_cpp/core/error_macros.hpp>

#include <cstdint>
#include <utility>

namespace godot {

template <typename T>
struct _DefaultComparator {
	bool operator()(const T &p_a, const T &p_b) const { return p_a < p_b; }
};

#ifdef DEBUG_ENABLED
#define SORT_ARRAY_VALIDATE_ENABLED true
#else
#define SORT_ARRAY_VALIDATE_ENABLED false
#endif

template <typename T, typename Comparator = _DefaultComparator<T>, bool Validate = SORT_ARRAY_VALIDATE_ENABLED>
class SortArray {
	enum {
		INTROSORT_THRESHOLD = 16
	};

	// An inconsistent comparator would walk off the array; the bounds are always checked so
	// that cannot happen, and the engine's complaint is printed when validation is on.
	static void _report_bad_comparison() {
		if (Validate) {
			ERR_PRINT("bad comparison function; sorting will be broken");
		}
	}

public:
	Comparator compare;

	const T &median_of_3(const T &p_a, const T &p_b, const T &p_c) const {
		if (compare(p_a, p_b)) {
			if (compare(p_b, p_c)) {
				return p_b;
			} else if (compare(p_a, p_c)) {
				return p_c;
			}
			return p_a;
		} else if (compare(p_a, p_c)) {
			return p_a;
		} else if (compare(p_b, p_c)) {
			return p_c;
		}
		return p_b;
	}

	int64_t bitlog(int64_t p_n) const {
		int64_t k = 0;
		while (p_n > 1) {
			p_n >>= 1;
			k++;
		}
		return k;
	}

	void push_heap(int64_t p_first, int64_t p_hole_idx, int64_t p_top_index, T p_value, T *p_array) const {
		int64_t parent = (p_hole_idx - 1) / 2;
		while (p_hole_idx > p_top_index && compare(p_array[p_first + parent], p_value)) {
			p_array[p_first + p_hole_idx] = std::move(p_array[p_first + parent]);
			p_hole_idx = parent;
			parent = (p_hole_idx - 1) / 2;
		}
		p_array[p_first + p_hole_idx] = std::move(p_value);
	}

	void adjust_heap(int64_t p_first, int64_t p_hole_idx, int64_t p_len, T p_value, T *p_array) const {
		const int64_t top_index = p_hole_idx;
		int64_t second_child = 2 * p_hole_idx + 2;
		while (second_child < p_len) {
			if (compare(p_array[p_first + second_child], p_array[p_first + (second_child - 1)])) {
				second_child--;
			}
			p_array[p_first + p_hole_idx] = std::move(p_array[p_first + second_child]);
			p_hole_idx = second_child;
			second_child = 2 * (second_child + 1);
		}
		if (second_child == p_len) {
			p_array[p_first + p_hole_idx] = std::move(p_array[p_first + (second_child - 1)]);
			p_hole_idx = second_child - 1;
		}
		push_heap(p_first, p_hole_idx, top_index, std::move(p_value), p_array);
	}

	void pop_heap(int64_t p_first, int64_t p_last, int64_t p_result, T p_value, T *p_array) const {
		p_array[p_result] = std::move(p_array[p_first]);
		adjust_heap(p_first, 0, p_last - p_first, std::move(p_value), p_array);
	}

	void pop_heap(int64_t p_first, int64_t p_last, T *p_array) const {
		T value = p_array[p_last - 1];
		pop_heap(p_first, p_last - 1, p_last - 1, std::move(value), p_array);
	}

	void make_heap(int64_t p_first, int64_t p_last, T *p_array) const {
		const int64_t len = p_last - p_first;
		if (len < 2) {
			return;
		}
		int64_t parent = (len - 2) / 2;
		while (true) {
			T value = p_array[p_first + parent];
			adjust_heap(p_first, parent, len, std::move(value), p_array);
			if (parent == 0) {
				return;
			}
			parent--;
		}
	}

	void sort_heap(int64_t p_first, int64_t p_last, T *p_array) const {
		while (p_last - p_first > 1) {
			pop_heap(p_first, p_last, p_array);
			p_last--;
		}
	}

	void partial_select(int64_t p_first, int64_t p_middle, int64_t p_last, T *p_array) const {
		make_heap(p_first, p_middle, p_array);
		for (int64_t i = p_middle; i < p_last; i++) {
			if (compare(p_array[i], p_array[p_first])) {
				T value = p_array[i];
				pop_heap(p_first, p_middle, i, std::move(value), p_array);
			}
		}
	}

	void partial_sort(int64_t p_first, int64_t p_last, int64_t p_middle, T *p_array) const {
		partial_select(p_first, p_middle, p_last, p_array);
		sort_heap(p_first, p_middle, p_array);
	}

	// The pivot is a reference into the array, as in the engine: swaps may change it.
	int64_t partitioner(int64_t p_first, int64_t p_last, const T &p_pivot, T *p_array) const {
		const int64_t unmodified_first = p_first;
		const int64_t unmodified_last = p_last;
		while (true) {
			while (compare(p_array[p_first], p_pivot)) {
				if (p_first >= unmodified_last - 1) {
					_report_bad_comparison();
					break;
				}
				p_first++;
			}
			p_last--;
			while (compare(p_pivot, p_array[p_last])) {
				if (p_last <= unmodified_first) {
					_report_bad_comparison();
					break;
				}
				p_last--;
			}
			if (!(p_first < p_last)) {
				return p_first;
			}
			std::swap(p_array[p_first], p_array[p_last]);
			p_first++;
		}
	}

	void introsort(int64_t p_first, int64_t p_last, T *p_array, int64_t p_max_depth) const {
		while (p_last - p_first > INTROSORT_THRESHOLD) {
			if (p_max_depth == 0) {
				partial_sort(p_first, p_last, p_last, p_array);
				return;
			}
			p_max_depth--;
			const int64_t cut = partitioner(p_first, p_last,
			        median_of_3(p_array[p_first], p_array[p_first + (p_last - p_first) / 2], p_array[p_last - 1]),
			        p_array);
			introsort(cut, p_last, p_array, p_max_depth);
			p_last = cut;
		}
	}

	void introselect(int64_t p_first, int64_t p_nth, int64_t p_last, T *p_array, int64_t p_max_depth) const {
		while (p_last - p_first > 3) {
			if (p_max_depth == 0) {
				partial_select(p_first, p_nth + 1, p_last, p_array);
				std::swap(p_array[p_first], p_array[p_nth]);
				return;
			}
			p_max_depth--;
			const int64_t cut = partitioner(p_first, p_last,
			        median_of_3(p_array[p_first], p_array[p_first + (p_last - p_first) / 2], p_array[p_last - 1]),
			        p_array);
			if (cut <= p_nth) {
				p_first = cut;
			} else {
				p_last = cut;
			}
		}
		insertion_sort(p_first, p_last, p_array);
	}

	void unguarded_linear_insert(int64_t p_last, T p_value, T *p_array, int64_t p_lower_bound = 0) const {
		int64_t next = p_last - 1;
		while (compare(p_value, p_array[next])) {
			if (next <= p_lower_bound) {
				_report_bad_comparison();
				break;
			}
			p_array[p_last] = std::move(p_array[next]);
			p_last = next;
			next--;
		}
		p_array[p_last] = std::move(p_value);
	}

	void linear_insert(int64_t p_first, int64_t p_last, T *p_array) const {
		T value = p_array[p_last];
		if (compare(value, p_array[p_first])) {
			for (int64_t i = p_last; i > p_first; i--) {
				p_array[i] = std::move(p_array[i - 1]);
			}
			p_array[p_first] = std::move(value);
		} else {
			unguarded_linear_insert(p_last, std::move(value), p_array, p_first);
		}
	}

	void insertion_sort(int64_t p_first, int64_t p_last, T *p_array) const {
		if (p_first == p_last) {
			return;
		}
		for (int64_t i = p_first + 1; i != p_last; i++) {
			linear_insert(p_first, i, p_array);
		}
	}

	void unguarded_insertion_sort(int64_t p_first, int64_t p_last, T *p_array) const {
		for (int64_t i = p_first; i != p_last; i++) {
			T value = p_array[i];
			unguarded_linear_insert(i, std::move(value), p_array);
		}
	}

	void final_insertion_sort(int64_t p_first, int64_t p_last, T *p_array) const {
		if (p_last - p_first > INTROSORT_THRESHOLD) {
			insertion_sort(p_first, p_first + INTROSORT_THRESHOLD, p_array);
			unguarded_insertion_sort(p_first + INTROSORT_THRESHOLD, p_last, p_array);
		} else {
			insertion_sort(p_first, p_last, p_array);
		}
	}

	void sort_range(int64_t p_first, int64_t p_last, T *p_array) const {
		if (p_first != p_last) {
			introsort(p_first, p_last, p_array, bitlog(p_last - p_first) * 2);
			final_insertion_sort(p_first, p_last, p_array);
		}
	}

	void sort(T *p_array, int64_t p_len) const {
		if (p_array == nullptr || p_len <= 0) {
			return;
		}
		sort_range(0, p_len, p_array);
	}

	void nth_element(int64_t p_first, int64_t p_last, int64_t p_nth, T *p_array) const {
		if (p_first == p_last || p_nth == p_last) {
			return;
		}
		introselect(p_first, p_nth, p_last, p_array, bitlog(p_last - p_first) * 2);
	}
};

} // namespace godot
