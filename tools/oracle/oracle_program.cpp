#include "oracle/oracle_program.hpp"

#include "oracle/case_generation.hpp"
#include "oracle/search_records.hpp"

#include <fstream>

namespace veltrin_oracle {

int run_oracle(int p_argc, const char *const *p_argv, std::ostream &p_console, RecordRunner p_candidate) {
	if (p_argc != 2) {
		return EXIT_BAD_USAGE_OR_FILE;
	}
	std::ofstream file(p_argv[1], std::ios::out | std::ios::trunc | std::ios::binary);
	if (!file.is_open()) {
		return EXIT_BAD_USAGE_OR_FILE;
	}
	const CheckSummary summary = run_differential(all_cases(), reference_record, p_candidate, file);
	if (!file) {
		return EXIT_BAD_USAGE_OR_FILE;
	}
	file.close();
	if (!file) {
		return EXIT_BAD_USAGE_OR_FILE;
	}
	p_console << verdict_line(summary);
	p_console.flush();
	return summary.pass ? EXIT_ALL_IDENTICAL : EXIT_DIFFERENCE;
}

} // namespace veltrin_oracle
