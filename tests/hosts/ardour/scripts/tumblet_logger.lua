ardour { ["type"] = "dsp", name = "Tumblet Test Logger", category = "Utility", license = "MIT",
	author = "Tumblet tests", description = [[Keeps every MIDI event that reaches it (transport sample + offset, bytes) in shared memory for the session script.]] }

local capacity = 4096
local own_clock, has_rolled = 0, false
-- int[0]: event count; then 5 ints an event: sample, rolling, status, data1, data2
function dsp_ioconfig () return { { midi_in = 1, midi_out = 1, audio_in = -1, audio_out = -1 } } end
function dsp_init (sr) self:shmem ():allocate (1 + capacity * 5); self:shmem ():clear () end
function dsp_configure (ins, outs) n_out = outs end
function dsp_runmap (bufs, in_map, out_map, n_samples, offset)
	local shm = self:shmem ()
	local mem = shm:to_int (0):array ()
	ARDOUR.DSP.process_map (bufs, n_out, in_map, out_map, n_samples, offset)
	-- In a session that never rolls, events are timed by a clock of the logger's own.
	local rolling = Session:transport_rolling () and 1 or 0
	local pos = Session:transport_sample ()
	if rolling == 1 then has_rolled = true end
	if rolling == 0 and not has_rolled then pos = own_clock; own_clock = own_clock + n_samples end
	local ib = in_map:get (ARDOUR.DataType ("midi"), 0)
	if ib == ARDOUR.ChanMapping.Invalid then return end
	for _, e in pairs (bufs:get_midi (ib):table ()) do
		local n = shm:atomic_get_int (0)
		if n < capacity then
			local b, base = e:buffer ():array (), 1 + n * 5
			mem[base + 1] = pos + e:time ()
			mem[base + 2] = rolling
			mem[base + 3] = e:size () > 0 and b[1] or -1
			mem[base + 4] = e:size () > 1 and b[2] or -1
			mem[base + 5] = e:size () > 2 and b[3] or -1
			shm:atomic_set_int (0, n + 1)
		end
	end
end
