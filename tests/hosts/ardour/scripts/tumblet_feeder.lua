ardour { ["type"] = "dsp", name = "Tumblet Test Feeder", category = "Utility", license = "MIT",
	author = "Tumblet tests", description = [[Plays fixed keys into the next processor: pressed at 0.5 s, released at 2.5 s of transport time (of its own clock in a session that never rolls). Keys: 0 = C4 E4 G4; 1 = C4 alone; 2 = four chords changed on every beat at 120 BPM (C4 E4 G4, D4 F4 A4, E4 G4 B4, F4 A4 C5).]] }

local press_s, release_s = 0.5, 2.5
local chords = { { 60, 64, 67 }, { 62, 65, 69 }, { 64, 67, 71 }, { 65, 69, 72 } }
local rate, own_clock, has_rolled = 48000, 0, false

function dsp_ioconfig () return { { midi_in = 1, midi_out = 1, audio_in = -1, audio_out = -1 } } end
function dsp_params ()
	return { { ["type"] = "input", name = "Keys", min = 0, max = 2, default = 0, integer = true } }
end
function dsp_init (sr) rate = sr end

function dsp_run (ins, outs, n_samples)
	local out = 1
	for _, e in pairs (midiin) do midiout[out] = { time = e.time, data = e.data }; out = out + 1 end
	-- A session that has rolled plays once, on the transport's time; one that never rolls, on
	-- a clock of the feeder's own.
	local pos
	if Session:transport_rolling () then
		pos = Session:transport_sample (); has_rolled = true
	elseif has_rolled then
		pos = -1 - 10 * rate
	else
		pos = own_clock; own_clock = own_clock + n_samples
	end
	-- Each change: when (seconds), status, velocity, notes. A chord change on a beat sends the
	-- old chord's note-offs before the new chord's note-ons, at the same sample.
	local keys = math.floor (CtrlPorts:array ()[1] + 0.5)
	local changes
	if keys == 2 then
		changes = {}
		for k = 1, 4 do
			local at = press_s + (k - 1) * 0.5
			if k > 1 then table.insert (changes, { at, 0x80, 0, chords[k - 1] }) end
			table.insert (changes, { at, 0x90, 100, chords[k] })
		end
		table.insert (changes, { release_s, 0x80, 0, chords[4] })
	else
		local notes = keys == 1 and { 60 } or chords[1]
		changes = { { press_s, 0x90, 100, notes }, { release_s, 0x80, 0, notes } }
	end
	for k, at in ipairs (changes) do
		local sample = math.floor (at[1] * rate)
		if sample >= pos and sample < pos + n_samples then
			-- A controller passes through the plug-in at its own offset: it marks the press for
			-- a logger that cannot see the feeder's clock.
			if k == 1 then
				midiout[out] = { time = 1 + sample - pos, data = { 0xB0, 119, 1 } }; out = out + 1
			end
			for _, note in ipairs (at[4]) do
				midiout[out] = { time = 1 + sample - pos, data = { at[2], note, at[3] } }; out = out + 1
			end
		end
	end
	for c = 1, #outs do
		if ins[c] ~= nil and ins[c] ~= outs[c] then ARDOUR.DSP.copy_vector (outs[c], ins[c], n_samples) end
	end
end
